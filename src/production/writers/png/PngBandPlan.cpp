#include "production/writers/png/PngBandPlan.h"

#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <memory>

#include "production/writers/encoders/FourBytePixels.h"
#include "production/writers/png/DeflatePiece.h"
#include "production/writers/png/PngRows.h"
#include "production/writers/png/WholeBufferDeflate.h"

namespace pennolux {

namespace {

struct ZlibStreamEnd {
    void operator()(z_stream* stream) const
    {
        deflateEnd(stream);
        delete stream;
    }
};

} // namespace

std::vector<RowBand> mergedRowBands(std::vector<RowBand> bands, int height)
{
    for (RowBand& band : bands) {
        band.top = std::clamp(band.top, 0, height);
        band.end = std::clamp(band.end, band.top, height);
    }
    std::sort(bands.begin(), bands.end(),
              [](const RowBand& a, const RowBand& b) { return a.top != b.top ? a.top < b.top : a.end < b.end; });
    // Sorted so, an empty band next to or inside another merges into it.
    std::vector<RowBand> merged;
    for (const RowBand& band : bands) {
        if (!merged.empty() && band.top <= merged.back().end)
            merged.back().end = std::max(merged.back().end, band.end);
        else
            merged.push_back(band);
    }
    return merged;
}

PngBandPlan::PngBandPlan(const QImage& constantImage, std::vector<RowBand> bands)
    : size_(constantImage.size()), bands_(mergedRowBands(std::move(bands), constantImage.height()))
{
    if (bands_.empty())
        bands_.push_back({0, 0});
    const QImage pixels = fourBytePixels(constantImage);
    const std::size_t rowBytes = pngRgbRowBytes(size_.width());
    const std::unique_ptr<z_stream, ZlibStreamEnd> stream(new z_stream);
    beginDeflatePieces(*stream);

    std::vector<std::uint8_t> rows;
    int top = 0;
    for (std::size_t k = 0; k <= bands_.size(); ++k) {
        const bool last = k == bands_.size();
        const int end = last ? size_.height() : bands_[k].top;
        rows.resize(rowBytes * std::size_t(end - top));
        subFilterRgbRows(pixels, top, end, rows.data());
        Piece piece;
        if (k == 0)
            piece.bytes.assign(std::begin(kZlibHeaderLevel7), std::end(kZlibHeaderLevel7));
        // Even with no rows below, the stream needs its final block; a
        // piece of no rows elsewhere needs nothing.
        if (last)
            deflatePiece(*stream, rows.data(), rows.size(), Z_FINISH, piece.bytes);
        else if (!rows.empty())
            deflatePiece(*stream, rows.data(), rows.size(), Z_SYNC_FLUSH, piece.bytes);
        piece.adler = libdeflate_adler32(1, rows.data(), rows.size());
        piece.rawBytes = rows.size();
        pieces_.push_back(std::move(piece));
        if (!last)
            top = bands_[k].end;
    }
}

} // namespace pennolux
