#include "production/writers/png/PngBandEncoder.h"

#include <libdeflate.h>
#include <zlib.h>

#include "production/writers/encoders/FourBytePixels.h"
#include "production/writers/png/PngFileWriter.h"
#include "production/writers/png/PngRows.h"
#include "production/writers/png/WholeBufferDeflate.h"

namespace pennolux {

PngBandEncoder::PngBandEncoder(std::shared_ptr<const PngBandPlan> plan) : plan_(std::move(plan))
{
}

QByteArray PngBandEncoder::encode(const QImage& image)
{
    const PngBandPlan& plan = *plan_;
    const QImage pixels = fourBytePixels(image);
    const std::size_t bandBytes = pngRgbRowBytes(plan.size().width()) * std::size_t(plan.bandEnd() - plan.bandTop());
    rows_.resize(bandBytes);
    subFilterRgbRows(pixels, plan.bandTop(), plan.bandEnd(), rows_.data());
    compressed_.clear();
    if (bandBytes > 0) {
        deflateRawWholeBuffer(rows_.data(), bandBytes, compressed_);
        continuable_.openEnd(compressed_);
    }

    // Adler-32 of every row, in the stream's byte order, as the zlib trailer.
    std::uint32_t adler = plan.headAdler();
    adler = std::uint32_t(adler32_combine(adler, libdeflate_adler32(1, rows_.data(), bandBytes), z_off_t(bandBytes)));
    adler = std::uint32_t(adler32_combine(adler, plan.tailAdler(), z_off_t(plan.tailRawBytes())));
    const std::uint8_t trailer[4] = {std::uint8_t(adler >> 24), std::uint8_t(adler >> 16), std::uint8_t(adler >> 8),
                                     std::uint8_t(adler)};

    const std::size_t streamBytes = plan.head().size() + compressed_.size() + plan.tail().size() + 4;
    PngFileWriter file(std::uint32_t(plan.size().width()), std::uint32_t(plan.size().height()), PngColorType::Rgb, {},
                       streamBytes);
    file.appendStream(plan.head().data(), plan.head().size());
    file.appendStream(compressed_.data(), compressed_.size());
    file.appendStream(plan.tail().data(), plan.tail().size());
    file.appendStream(trailer, sizeof trailer);
    return file.finish();
}

} // namespace pennolux
