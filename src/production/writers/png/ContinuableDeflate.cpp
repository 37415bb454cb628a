#include "production/writers/png/ContinuableDeflate.h"

#include <zlib.h>

#include <new>
#include <optional>

#include "platform/AppError.h"

namespace pennolux {

namespace {

constexpr int kRawDeflateWindowBits = -15;
constexpr std::size_t kScratchBytes = std::size_t(1) << 16;
// inflate's data_type: the unused bits of the last byte read, whether the
// block being decoded is the last, and whether it stopped at a block's start.
constexpr int kUnusedBitsMask = 63;
constexpr int kInLastBlock = 64;
constexpr int kAtBlockBoundary = 128;
// LEN 0 and its complement NLEN: the body of an empty stored block.
constexpr std::uint8_t kEmptyStoredBlock[4] = {0x00, 0x00, 0xFF, 0xFF};

[[noreturn]] void fail()
{
    throw AppError(QStringLiteral("PNG encoding failed: the compressed image data does not inflate"));
}

} // namespace

ContinuableDeflate::ContinuableDeflate() : stream_(std::make_unique<z_stream>()), scratch_(kScratchBytes)
{
    *stream_ = z_stream{};
    if (inflateInit2(stream_.get(), kRawDeflateWindowBits) != Z_OK)
        throw std::bad_alloc();
}

ContinuableDeflate::~ContinuableDeflate()
{
    inflateEnd(stream_.get());
}

void ContinuableDeflate::openEnd(std::vector<std::uint8_t>& piece)
{
    z_stream& stream = *stream_;
    inflateReset(&stream);
    stream.next_in = piece.data();
    stream.avail_in = uInt(piece.size());
    // Bit positions in the piece, counted from its first byte's lowest bit.
    // With Z_BLOCK inflate returns at every block boundary; there it has not
    // read the next block's header yet, unless the block that ended was the
    // last one.
    std::uint64_t lastBlockStart = 0;
    std::optional<std::uint64_t> end;
    for (;;) {
        stream.next_out = scratch_.data();
        stream.avail_out = uInt(scratch_.size());
        const int result = inflate(&stream, Z_BLOCK);
        if (result == Z_STREAM_END)
            break;
        if (result != Z_OK)
            fail();
        if (stream.data_type & kAtBlockBoundary) {
            const std::uint64_t position =
                std::uint64_t(stream.total_in) * 8 - std::uint64_t(stream.data_type & kUnusedBitsMask);
            if (stream.data_type & kInLastBlock)
                end = position;
            else
                lastBlockStart = position;
        }
    }
    if (!end || stream.avail_in != 0)
        fail();
    // The first bit of a block's header says whether it is the last.
    piece[std::size_t(lastBlockStart / 8)] &= std::uint8_t(~(1u << (lastBlockStart % 8)));
    // A stored block's three header bits, all zero (not final, stored), then
    // padding to the byte: zeros from the end of the data on.
    const std::size_t endByte = std::size_t(*end / 8);
    if (*end % 8 != 0)
        piece[endByte] &= std::uint8_t((1u << (*end % 8)) - 1);
    piece.resize(std::size_t((*end + 3 + 7) / 8), 0);
    piece.insert(piece.end(), std::begin(kEmptyStoredBlock), std::end(kEmptyStoredBlock));
}

} // namespace pennolux
