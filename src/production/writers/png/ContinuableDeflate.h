#pragma once

#include <cstdint>
#include <memory>
#include <vector>

struct z_stream_s;

namespace pennolux {

// Makes a complete raw deflate stream (as libdeflate writes one, its last
// block marked final) into a piece that more deflate data may follow: the
// last block's final bit is cleared and an empty stored block ends the
// piece on a byte boundary, which is what zlib's sync flush writes. The last
// block is found by walking the stream with zlib's inflate, block by block,
// as zlib's own gzappend example does. One per thread; it keeps its inflate
// state from piece to piece.
class ContinuableDeflate {
public:
    ContinuableDeflate();
    ~ContinuableDeflate();
    ContinuableDeflate(const ContinuableDeflate&) = delete;
    ContinuableDeflate& operator=(const ContinuableDeflate&) = delete;

    // `piece` holds one whole raw deflate stream; it is changed in place and
    // may grow by up to five bytes. Throws AppError for a stream that does
    // not inflate.
    void openEnd(std::vector<std::uint8_t>& piece);

private:
    std::unique_ptr<z_stream_s> stream_;
    std::vector<std::uint8_t> scratch_;
};

} // namespace pennolux
