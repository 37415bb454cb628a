#pragma once

#include <QByteArray>
#include <QImage>
#include <cstdint>
#include <memory>
#include <vector>

#include "production/writers/png/ContinuableDeflate.h"
#include "production/writers/png/PngBandPlan.h"

namespace pennolux {

// The PNG file of each image of a run whose images differ only in the band
// of its plan: only the band's rows are filtered and compressed, by
// libdeflate as a whole image is, the piece then opened at its end for the
// rows below. One per thread; it keeps its state from image to image.
class PngBandEncoder {
public:
    explicit PngBandEncoder(std::shared_ptr<const PngBandPlan> plan);

    // `image` (32-bit pixels, the plan's size) must hold the plan's pixels
    // outside the band: its rows there are not read.
    QByteArray encode(const QImage& image);

private:
    std::shared_ptr<const PngBandPlan> plan_;
    ContinuableDeflate continuable_;
    std::vector<std::uint8_t> rows_;
    std::vector<std::uint8_t> compressed_;
};

} // namespace pennolux
