#include "production/writers/png/PngBandEncoder.h"

#include <libdeflate.h>
#include <zlib.h>

#include "production/writers/encoders/FourBytePixels.h"
#include "production/writers/png/PngFileWriter.h"
#include "production/writers/png/PngRows.h"
#include "production/writers/png/WholeBufferDeflate.h"

namespace pennolux {

PngBandEncoder::PngBandEncoder(std::shared_ptr<const PngBandPlan> plan)
    : plan_(std::move(plan)), compressed_(plan_->bands().size())
{
}

QByteArray PngBandEncoder::encode(const QImage& image)
{
    const PngBandPlan& plan = *plan_;
    const QImage pixels = fourBytePixels(image);
    const std::size_t rowBytes = pngRgbRowBytes(plan.size().width());
    const std::vector<PngBandPlan::Piece>& pieces = plan.constantPieces();

    // Adler-32 of every row, in the stream's byte order, as the zlib trailer.
    std::uint32_t adler = pieces.front().adler;
    std::size_t streamBytes = pieces.front().bytes.size() + 4;
    for (std::size_t k = 0; k < plan.bands().size(); ++k) {
        const RowBand band = plan.bands()[k];
        CompressedBand& compressed = compressed_[k];
        compressed.rawBytes = rowBytes * std::size_t(band.end - band.top);
        rows_.resize(compressed.rawBytes);
        subFilterRgbRows(pixels, band.top, band.end, rows_.data());
        compressed.bytes.clear();
        if (compressed.rawBytes > 0) {
            deflateRawWholeBuffer(rows_.data(), compressed.rawBytes, compressed.bytes);
            continuable_.openEnd(compressed.bytes);
        }
        compressed.adler = libdeflate_adler32(1, rows_.data(), compressed.rawBytes);
        adler = std::uint32_t(adler32_combine(adler, compressed.adler, z_off_t(compressed.rawBytes)));
        adler = std::uint32_t(adler32_combine(adler, pieces[k + 1].adler, z_off_t(pieces[k + 1].rawBytes)));
        streamBytes += compressed.bytes.size() + pieces[k + 1].bytes.size();
    }
    const std::uint8_t trailer[4] = {std::uint8_t(adler >> 24), std::uint8_t(adler >> 16), std::uint8_t(adler >> 8),
                                     std::uint8_t(adler)};

    PngFileWriter file(std::uint32_t(plan.size().width()), std::uint32_t(plan.size().height()), PngColorType::Rgb, {},
                       streamBytes);
    file.appendStream(pieces.front().bytes.data(), pieces.front().bytes.size());
    for (std::size_t k = 0; k < compressed_.size(); ++k) {
        file.appendStream(compressed_[k].bytes.data(), compressed_[k].bytes.size());
        file.appendStream(pieces[k + 1].bytes.data(), pieces[k + 1].bytes.size());
    }
    file.appendStream(trailer, sizeof trailer);
    return file.finish();
}

} // namespace pennolux
