#pragma once

#include <QByteArray>
#include <QImage>
#include <cstdint>
#include <memory>
#include <vector>

#include "production/writers/png/ContinuableDeflate.h"
#include "production/writers/png/PngBandPlan.h"

namespace pennolux {

// The PNG file of each image of a run whose images differ only in the bands
// of its plan: only the bands' rows are filtered and compressed, each band
// by libdeflate as a whole image is, the piece then opened at its end for
// the constant rows after it. One per thread; it keeps its state from image
// to image.
class PngBandEncoder {
public:
    explicit PngBandEncoder(std::shared_ptr<const PngBandPlan> plan);

    // `image` (32-bit pixels, the plan's size) must hold the plan's pixels
    // outside the bands: its rows there are not read.
    QByteArray encode(const QImage& image);

private:
    struct CompressedBand {
        std::vector<std::uint8_t> bytes;
        std::uint32_t adler = 1;
        std::size_t rawBytes = 0;
    };

    std::shared_ptr<const PngBandPlan> plan_;
    ContinuableDeflate continuable_;
    std::vector<std::uint8_t> rows_;
    std::vector<CompressedBand> compressed_;
};

} // namespace pennolux
