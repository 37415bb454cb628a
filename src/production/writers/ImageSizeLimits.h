#pragma once

#include <cstdint>

#include "production/writers/ImageFormat.h"

namespace pennolux {

// Checked before a working image is allocated, so absurd margins or fonts
// fail with a clear AppError naming the size instead of exhausting memory.
// Sizes are 64-bit so that sums of large margins cannot overflow.
void checkWorkingImageSize(std::int64_t width, std::int64_t height);
// A size the format cannot hold (WebP: at most 16,383 pixels a side).
void checkFormatCanHold(ImageFormat format, std::int64_t width, std::int64_t height);

} // namespace pennolux
