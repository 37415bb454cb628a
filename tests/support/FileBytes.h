#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace pennolux::testing {

// A file's bytes, or none for a file that cannot be read.
inline QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A file's text read as UTF-8, or none for a file that cannot be read.
inline QString fileText(const QString& path)
{
    return QString::fromUtf8(fileBytes(path));
}

} // namespace pennolux::testing
