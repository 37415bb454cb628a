#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace pennolux {

// A form for the web service: lines "name=value" in wire order, the first
// always "cmd=" and the command word.
class ServiceRequest {
public:
    explicit ServiceRequest(const QString& command);

    // Appends prefix + value; the prefix ends in "=" ("appname=").
    void add(const QString& prefix, const QString& value);

    const QStringList& lines() const { return lines_; }

    // name=value pairs joined by "&", both sides form-encoded; the name is
    // the text before a line's first "=", the value everything after it.
    QByteArray formBody() const;

private:
    QStringList lines_;
};

} // namespace pennolux
