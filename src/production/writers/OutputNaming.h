#pragma once

#include <QByteArray>
#include <QString>

#include "production/writers/ImageFormat.h"

namespace pennolux {

// destination + "/Output" + number + extension; the destination is used as
// typed (a trailing "/" gives "//", which the file system reads as one).
QString outputPath(const QString& destination, int number, ImageFormat format);

// The first of path, "base (2).ext", "base (3).ext", ... that names no existing
// file (a folder of that name does not count as taken).
QString UniqueOutputName(const QString& path);

// Creates the first free name from path on exclusively (O_EXCL), so a file
// another process made in between is never overwritten: that name is skipped
// and the next one tried. Writes bytes, and removes the file again when the
// write fails half-way. Returns the name used; throws AppError
// "Cannot create file "<path>". <reason>" otherwise.
QString storeUnderFreeName(const QString& path, const QByteArray& bytes);

} // namespace pennolux
