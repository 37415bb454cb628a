#pragma once

#include <QImage>
#include <cstddef>
#include <cstdint>

namespace pennolux {

// The bytes one row of an RGB image takes in a PNG's image data: the filter
// type, then three bytes a pixel.
inline std::size_t pngRgbRowBytes(int width)
{
    return 1 + std::size_t(width) * 3;
}

// Rows [firstRow, endRow) of an image of 32-bit 0xXXRRGGBB pixels as PNG
// image data, every row Sub-filtered (each byte less the byte of the pixel
// to its left): no filter search, so the same pixels always give the same
// bytes. `out` takes pngRgbRowBytes(width) bytes a row.
void subFilterRgbRows(const QImage& pixels, int firstRow, int endRow, std::uint8_t* out);

} // namespace pennolux
