#include "production/writers/png/DeflatePiece.h"

#include <new>

#include "platform/AppError.h"
#include "production/writers/png/WholeBufferDeflate.h"

namespace pennolux {

namespace {

constexpr int kRawDeflateWindowBits = -15;
constexpr int kMemoryLevel = 8;
// Room for the empty stored block of a sync flush and the final block's end.
constexpr std::size_t kFlushMarkerRoom = 16;

} // namespace

void beginDeflatePieces(z_stream& stream)
{
    stream = z_stream{};
    if (deflateInit2(&stream, kPngCompressionLevel, Z_DEFLATED, kRawDeflateWindowBits, kMemoryLevel,
                     Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::bad_alloc();
}

void deflatePiece(z_stream& stream, const std::uint8_t* data, std::size_t size, int flush,
                  std::vector<std::uint8_t>& out)
{
    deflateReset(&stream);
    const std::size_t start = out.size();
    out.resize(start + deflateBound(&stream, uLong(size)) + kFlushMarkerRoom);
    stream.next_in = const_cast<Bytef*>(data);
    stream.avail_in = uInt(size);
    std::size_t written = start;
    for (;;) {
        stream.next_out = out.data() + written;
        stream.avail_out = uInt(out.size() - written);
        const int result = deflate(&stream, flush);
        written = out.size() - stream.avail_out;
        const bool done = flush == Z_FINISH ? result == Z_STREAM_END : stream.avail_in == 0 && stream.avail_out > 0;
        if (done)
            break;
        if (result != Z_OK && result != Z_BUF_ERROR)
            throw AppError(QStringLiteral("PNG encoding failed: zlib error %1").arg(result));
        out.resize(out.size() * 2);
    }
    out.resize(written);
}

} // namespace pennolux
