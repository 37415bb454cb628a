#pragma once

#include <QString>
#include <stdexcept>

namespace pennolux {

// An error that travels up to the handler guard, which shows its text in the
// standard error box. what() holds the text in UTF-8.
class AppError : public std::runtime_error {
public:
    explicit AppError(const QString& message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromUtf8(what()); }
};

// "Cannot open file "<path>". <reason>"
AppError fileOpenError(const QString& path, const QString& reason);
// "Cannot create file "<path>". <reason>"
AppError fileCreateError(const QString& path, const QString& reason);

// The text of the standard error box: "." appended when the last character
// sorts after ".".
QString standardErrorText(const QString& message);

} // namespace pennolux
