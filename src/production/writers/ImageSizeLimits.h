#pragma once

#include <QString>
#include <cstdint>

#include "production/writers/ImageFormat.h"

namespace pennolux {

// Every size limit of the working image and of the six formats, in one table,
// with every message about them. Sizes are 64-bit so that sums of large
// margins cannot overflow before they are checked.
struct SizeLimits {
    std::int64_t maxSide = 0;
    std::int64_t maxPixels = 0;
};

// Far beyond any line of text, yet small enough that the working image
// (4 bytes a pixel) stays well under half a gigabyte.
constexpr SizeLimits kWorkingImageLimits{65535, 100'000'000};

SizeLimits formatLimits(ImageFormat format);

// "127 × 15 pixels"
QString imageSizeText(std::int64_t width, std::int64_t height);

// Checked before a working image is allocated, so absurd margins or fonts
// fail with a clear AppError naming the size instead of exhausting memory.
void checkWorkingImageSize(std::int64_t width, std::int64_t height);
// A size the format cannot hold (WebP: at most 16,383 pixels a side).
void checkFormatCanHold(ImageFormat format, std::int64_t width, std::int64_t height);

} // namespace pennolux
