#pragma once

#include <QImage>
#include <QSize>

namespace pennolux {

// Both runs draw each line into a working image: opaque 32-bit pixels at
// 96 dots per inch, the display the design was drawn for, so a font's point
// size gives the same pixels on every machine.
constexpr int kWorkingDotsPerMetre = 3780;

// Sets the working resolution on an image made elsewhere (a view into a
// reused canvas, say).
void setWorkingResolution(QImage& image);

// A new working image; throws AppError for a size beyond the working limits
// and std::bad_alloc when the memory is not there.
QImage makeWorkingImage(QSize size);

} // namespace pennolux
