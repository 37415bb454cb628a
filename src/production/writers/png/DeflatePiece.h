#pragma once

#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace pennolux {

// A zlib compressor of raw deflate pieces (no header, no checksum) at the
// level of every PNG, with zlib's usual window and memory. Throws
// std::bad_alloc when zlib cannot have its memory.
void beginDeflatePieces(z_stream& stream);

// Compresses the data as one piece after deflateReset and appends it to
// `out`: Z_SYNC_FLUSH ends it on a byte boundary with no final block, so a
// further piece may follow; Z_FINISH ends the deflate stream.
void deflatePiece(z_stream& stream, const std::uint8_t* data, std::size_t size, int flush,
                  std::vector<std::uint8_t>& out);

} // namespace pennolux
