#pragma once

#include <QImage>
#include <QString>

#include "production/writers/ImageFormat.h"

namespace pennolux {

// Names, encodes and stores one working image: outputPath, then
// storeUnderFreeName with the format's encoder. Returns the file written;
// throws AppError when it cannot be written.
QString WriteImage(const QImage& image, const QString& destination, int number, ImageFormat format);

} // namespace pennolux
