#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace pennolux {

// The compression level of every PNG's image data.
constexpr int kPngCompressionLevel = 7;

// The zlib header zlib writes at level 7: CMF for deflate with a 32 KiB
// window, FLG for the level group of levels 7 to 9 and the check bits.
constexpr std::uint8_t kZlibHeaderLevel7[2] = {0x78, 0xDA};

// The data as one zlib stream at level 7, with zlib's header for that
// level, compressed whole by libdeflate: faster than zlib at the same level
// for a little larger output. Each thread keeps its own compressor.
struct WholeBufferStream {
    std::unique_ptr<std::uint8_t[]> bytes;
    std::size_t size = 0;
};
WholeBufferStream deflateWholeBuffer(const std::uint8_t* data, std::size_t size);

// The same compression as a raw deflate stream (no zlib header or checksum,
// the last block marked final), in place of what `out` held.
void deflateRawWholeBuffer(const std::uint8_t* data, std::size_t size, std::vector<std::uint8_t>& out);

} // namespace pennolux
