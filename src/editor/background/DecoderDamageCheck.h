#pragma once

#include <QByteArray>
#include <QString>

namespace pennolux {

// What the format's own decoder says is wrong with the picture's data, or
// empty when it decodes whole. Qt's JPEG and GIF readers fill in what a
// damaged file lacks (grey for a scan that stops early, black for a frame
// with no image data) and report success, so these formats are run through
// libjpeg and giflib first, which say so; the pixels are thrown away. Other
// formats give an empty answer: their readers fail on damage themselves.
QString damageFoundByDecoder(const QByteArray& bytes, const QByteArray& qtFormat);

} // namespace pennolux
