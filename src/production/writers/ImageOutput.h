#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include "production/writers/ImageFormat.h"

namespace pennolux {

// Writing one working image takes two steps, which every run calls: encoding,
// which any thread may do, and storing, done by the one thread that keeps
// the files in line order. So an encoder's failure reads the same from every
// run.

// The complete bytes of the image's file in the format; throws AppError when
// the format cannot hold the image's size (each encoder checks its own
// limits) or the encoder fails.
QByteArray encodeImage(const QImage& image, ImageFormat format);

// Stores the bytes as destination + "/" + baseName + the format's extension,
// or the first free " (k)" name after it. Returns the file written; throws
// AppError "Cannot create file ..." when it cannot be.
QString storeImage(const QByteArray& bytes, const QString& destination, const QString& baseName,
                   ImageFormat format);

} // namespace pennolux
