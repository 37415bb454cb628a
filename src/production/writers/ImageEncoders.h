#pragma once

#include <QByteArray>
#include <QImage>

#include "production/writers/ImageFormat.h"

namespace pennolux {

// Each encoder turns an opaque working image (any QImage format; the alpha
// channel, if any, is ignored) into the complete bytes of one file. They keep
// no state, so several threads may encode at once. Failures throw AppError.

// 8-bit RGB (colour type 2; palette for indexed images), every row Sub-filtered,
// zlib level 7, IDAT chunks of at most 65,535 bytes, only IHDR/IDAT/IEND.
QByteArray encodePng(const QImage& image);
// libjpeg defaults, quality 90 with baseline tables, sequential JFIF, YCbCr 4:2:0.
QByteArray encodeJpeg(const QImage& image);
// One frame, no extensions, an octree palette of at most 256 colours,
// Floyd-Steinberg dithering.
QByteArray encodeGif(const QImage& image);
QByteArray encodeTiff(const QImage& image);
// Quality 80, opaque (no alpha chunk).
QByteArray encodeWebp(const QImage& image);
// 54-byte header, 32 bits per pixel, bottom-up, no colour table.
QByteArray encodeBmp(const QImage& image);

using ImageEncoder = QByteArray (*)(const QImage&);
ImageEncoder encoderFor(ImageFormat format);

} // namespace pennolux
