#include "production/writers/png/PngBandEncoder.h"

#include <libdeflate.h>
#include <zlib.h>

#include "production/writers/encoders/FourBytePixels.h"
#include "production/writers/png/PngFileWriter.h"
#include "production/writers/png/PngRows.h"
#include "production/writers/png/WholeBufferDeflate.h"

namespace pennolux {

namespace {

// Enough for the companies or titles of a list that repeat from line to
// line; each takes about one band's compressed rows.
constexpr std::size_t kRememberedBands = 16;

} // namespace

PngBandEncoder::PngBandEncoder(std::shared_ptr<const PngBandPlan> plan)
    : plan_(std::move(plan)), remembered_(plan_->bands().size()), used_(plan_->bands().size())
{
}

const PngBandEncoder::CompressedBand* PngBandEncoder::find(std::size_t band, const QString& key) const
{
    for (const CompressedBand& kept : remembered_[band].kept) {
        if (kept.keyed && kept.key == key)
            return &kept;
    }
    return nullptr;
}

bool PngBandEncoder::remembers(std::size_t band, const QString& key) const
{
    return band < remembered_.size() && find(band, key);
}

const PngBandEncoder::CompressedBand& PngBandEncoder::compress(const QImage& pixels, std::size_t band,
                                                               const QString* key)
{
    Remembered& remembered = remembered_[band];
    if (remembered.kept.size() < kRememberedBands && (key || remembered.kept.empty()))
        remembered.kept.emplace_back();
    // Without a key the band goes where the oldest was, and is never found.
    CompressedBand& compressed = remembered.kept[key ? remembered.next : 0];
    if (key)
        remembered.next = (remembered.next + 1) % kRememberedBands;
    compressed.keyed = key != nullptr;
    compressed.key = key ? *key : QString();

    const RowBand rows = plan_->bands()[band];
    compressed.rawBytes = pngRgbRowBytes(plan_->size().width()) * std::size_t(rows.end - rows.top);
    rows_.resize(compressed.rawBytes);
    subFilterRgbRows(pixels, rows.top, rows.end, rows_.data());
    compressed.bytes.clear();
    if (compressed.rawBytes > 0) {
        deflateRawWholeBuffer(rows_.data(), compressed.rawBytes, compressed.bytes);
        continuable_.openEnd(compressed.bytes);
    }
    compressed.adler = libdeflate_adler32(1, rows_.data(), compressed.rawBytes);
    return compressed;
}

QByteArray PngBandEncoder::encode(const QImage& image, const std::vector<QString>& bandKeys)
{
    const PngBandPlan& plan = *plan_;
    const bool keyed = bandKeys.size() == plan.bands().size();
    const QImage pixels = fourBytePixels(image);
    const std::vector<PngBandPlan::Piece>& pieces = plan.constantPieces();

    // Adler-32 of every row, in the stream's byte order, as the zlib trailer.
    std::uint32_t adler = pieces.front().adler;
    std::size_t streamBytes = pieces.front().bytes.size() + 4;
    for (std::size_t k = 0; k < plan.bands().size(); ++k) {
        const CompressedBand* compressed = keyed ? find(k, bandKeys[k]) : nullptr;
        if (!compressed)
            compressed = &compress(pixels, k, keyed ? &bandKeys[k] : nullptr);
        used_[k] = compressed;
        adler = std::uint32_t(adler32_combine(adler, compressed->adler, z_off_t(compressed->rawBytes)));
        adler = std::uint32_t(adler32_combine(adler, pieces[k + 1].adler, z_off_t(pieces[k + 1].rawBytes)));
        streamBytes += compressed->bytes.size() + pieces[k + 1].bytes.size();
    }
    const std::uint8_t trailer[4] = {std::uint8_t(adler >> 24), std::uint8_t(adler >> 16), std::uint8_t(adler >> 8),
                                     std::uint8_t(adler)};

    PngFileWriter file(std::uint32_t(plan.size().width()), std::uint32_t(plan.size().height()), PngColorType::Rgb, {},
                       streamBytes);
    file.appendStream(pieces.front().bytes.data(), pieces.front().bytes.size());
    for (std::size_t k = 0; k < used_.size(); ++k) {
        file.appendStream(used_[k]->bytes.data(), used_[k]->bytes.size());
        file.appendStream(pieces[k + 1].bytes.data(), pieces[k + 1].bytes.size());
    }
    file.appendStream(trailer, sizeof trailer);
    return file.finish();
}

} // namespace pennolux
