#pragma once

#include <QString>

namespace pennolux {

// The update check's own per-user values: "update.ini", group "Settings",
// every value as text. Each read and write goes to the file, so the store
// may be used from the check's thread and, after it, from the window's.
// A store without a file reads every value as its default and keeps nothing.
class UpdateStore {
public:
    UpdateStore() = default;
    explicit UpdateStore(QString filePath);

    bool hasFile() const { return !filePath_.isEmpty(); }
    const QString& filePath() const { return filePath_; }

    QString readText(const QString& name, const QString& fallback = {}) const;
    // Decimal text read back as a number; anything else gives fallback.
    int readNumber(const QString& name, int fallback) const;
    // False when the value could not be stored, or would make the file too
    // large to read back. A file too large to read is replaced by a store
    // holding only this value; any other file that cannot be read is left
    // as it is.
    bool write(const QString& name, const QString& value) const;

private:
    QString filePath_;
};

// Decimal text with an optional sign that fits an int.
bool parseWholeNumber(const QString& text, int& number);

} // namespace pennolux
