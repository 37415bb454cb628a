#pragma once

#include <QByteArray>
#include <QString>

namespace pennolux {

// Inflates a gzip body; throws ServicePostError when it is damaged or would
// grow past limit bytes.
QByteArray inflateGzip(const QByteArray& compressed, qsizetype limit);

// The charset parameter of a Content-Type value, lower case; empty when none.
QByteArray charsetOf(const QByteArray& contentType);

// Decodes with the named charset; UTF-8 when it is empty, "utf-8" or unknown.
// A leading UTF-8 byte-order mark is dropped.
QString decodeAnswer(const QByteArray& body, const QByteArray& charset);

} // namespace pennolux
