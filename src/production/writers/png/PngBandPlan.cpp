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

PngBandPlan::PngBandPlan(const QImage& constantImage, int bandTop, int bandEnd)
    : size_(constantImage.size()), bandTop_(std::clamp(bandTop, 0, constantImage.height())),
      bandEnd_(std::clamp(bandEnd, bandTop_, constantImage.height()))
{
    const QImage pixels = fourBytePixels(constantImage);
    const std::size_t rowBytes = pngRgbRowBytes(size_.width());
    const std::unique_ptr<z_stream, ZlibStreamEnd> stream(new z_stream);
    beginDeflatePieces(*stream);

    std::vector<std::uint8_t> rows(rowBytes * std::size_t(bandTop_));
    subFilterRgbRows(pixels, 0, bandTop_, rows.data());
    head_.assign(std::begin(kZlibHeaderLevel7), std::end(kZlibHeaderLevel7));
    if (!rows.empty())
        deflatePiece(*stream, rows.data(), rows.size(), Z_SYNC_FLUSH, head_);
    headAdler_ = libdeflate_adler32(1, rows.data(), rows.size());

    rows.resize(rowBytes * std::size_t(size_.height() - bandEnd_));
    subFilterRgbRows(pixels, bandEnd_, size_.height(), rows.data());
    // Even with no rows below, the stream needs its final block.
    deflatePiece(*stream, rows.data(), rows.size(), Z_FINISH, tail_);
    tailAdler_ = libdeflate_adler32(1, rows.data(), rows.size());
    tailRawBytes_ = rows.size();
}

} // namespace pennolux
