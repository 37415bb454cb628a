#pragma once

#include <QByteArray>
#include <QString>

#include "production/writers/ImageFormat.h"

namespace pennolux {

// "Output7": the design's name of line 7's file, without its extension.
QString defaultBaseName(int number);

// destination + "/Output" + number + extension; the destination is used as
// typed (a trailing "/" gives "//", which the file system reads as one).
QString outputPath(const QString& destination, int number, ImageFormat format);

// Stores bytes under the first free name of path, "base (2).ext",
// "base (3).ext", ... (the base and extension of the first path). The file is
// written whole before it gets a name, and the name is given by a link, which
// never replaces anything: a name taken by another file, also one made by
// another process a moment earlier, is skipped; a folder of the name makes the
// store fail. So no file is ever seen empty or half-written, also when the
// process is killed. Returns the name used; throws AppError
// "Cannot create file "<path>". <reason>" otherwise.
QString storeUnderFreeName(const QString& path, const QByteArray& bytes);

} // namespace pennolux
