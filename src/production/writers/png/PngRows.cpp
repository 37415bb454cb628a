#include "production/writers/png/PngRows.h"

namespace pennolux {

namespace {

constexpr std::uint8_t kSubFilter = 1;

} // namespace

void subFilterRgbRows(const QImage& pixels, int firstRow, int endRow, std::uint8_t* out)
{
    const int width = pixels.width();
    for (int y = firstRow; y < endRow; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(pixels.constScanLine(y));
        *out++ = kSubFilter;
        std::uint8_t red = 0;
        std::uint8_t green = 0;
        std::uint8_t blue = 0;
        for (int x = 0; x < width; ++x) {
            const QRgb pixel = row[x];
            const auto r = std::uint8_t(pixel >> 16);
            const auto g = std::uint8_t(pixel >> 8);
            const auto b = std::uint8_t(pixel);
            out[0] = std::uint8_t(r - red);
            out[1] = std::uint8_t(g - green);
            out[2] = std::uint8_t(b - blue);
            out += 3;
            red = r;
            green = g;
            blue = b;
        }
    }
}

} // namespace pennolux
