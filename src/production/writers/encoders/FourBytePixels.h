#pragma once

#include <QImage>
#include <QSysInfo>

namespace pennolux {

// Pixels as 32-bit 0xXXRRGGBB words, which the encoders read row by row.
// The image itself when it already has that layout (sharing its data, no
// copy); otherwise a converted copy. The fourth byte is never interpreted:
// the working images are opaque.
inline QImage fourBytePixels(const QImage& image)
{
    switch (image.format()) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied:
        return image;
    default:
        return image.convertToFormat(QImage::Format_RGB32);
    }
}

// On little-endian machines a 0xXXRRGGBB word lies in memory as B, G, R, X,
// which several libraries take as it is.
constexpr bool kWordsAreBgrxInMemory = QSysInfo::ByteOrder == QSysInfo::LittleEndian;

} // namespace pennolux
