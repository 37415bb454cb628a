#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace pennolux {

// The compression level of every PNG's image data.
constexpr int kPngCompressionLevel = 7;

// The data as one zlib stream at level 7 (the header says so as zlib's
// does), compressed whole by libdeflate: faster than zlib at the same level
// for a few per cent larger output. Each thread keeps its own compressor.
struct WholeBufferStream {
    std::unique_ptr<std::uint8_t[]> bytes;
    std::size_t size = 0;
};
WholeBufferStream deflateWholeBuffer(const std::uint8_t* data, std::size_t size);

// The same compression as a raw deflate stream (no zlib header or checksum,
// the last block marked final), in place of what `out` held.
void deflateRawWholeBuffer(const std::uint8_t* data, std::size_t size, std::vector<std::uint8_t>& out);

} // namespace pennolux
