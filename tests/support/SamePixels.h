#pragma once

#include <QImage>

namespace pennolux::testing {

// The same size and the same colour in every pixel, whatever the formats.
inline bool samePixels(const QImage& left, const QImage& right)
{
    return left.size() == right.size() &&
           left.convertToFormat(QImage::Format_RGB32) == right.convertToFormat(QImage::Format_RGB32);
}

} // namespace pennolux::testing
