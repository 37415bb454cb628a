#pragma once

#include <QImage>
#include <QSize>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace pennolux {

// What the PNG files of a run share when its images differ only in one band
// of rows (the rows a text layer takes): the image data above and below the
// band, compressed once (by zlib, whose sync flush ends the piece above on a
// byte boundary without the final mark). A zlib stream may be put together
// from such pieces, so every file is the zlib header, these rows above, the
// band's rows compressed for the image, these rows below, and the Adler-32
// of all rows combined from the pieces' checksums. Every row is Sub-filtered
// and compressed at level 7 as every PNG is; only the boundaries of the
// deflate blocks differ from compressing the rows in one go. Read-only once
// made, so every worker thread of a run shares one.
class PngBandPlan {
public:
    // `constantImage` shows every pixel outside rows [bandTop, bandEnd) as
    // each image of the run will have it.
    PngBandPlan(const QImage& constantImage, int bandTop, int bandEnd);

    QSize size() const { return size_; }
    int bandTop() const { return bandTop_; }
    int bandEnd() const { return bandEnd_; }

    // The zlib header and the rows above the band, ending on a sync flush.
    const std::vector<std::uint8_t>& head() const { return head_; }
    std::uint32_t headAdler() const { return headAdler_; }
    // The rows below the band, ending with the final block.
    const std::vector<std::uint8_t>& tail() const { return tail_; }
    std::uint32_t tailAdler() const { return tailAdler_; }
    std::size_t tailRawBytes() const { return tailRawBytes_; }

private:
    QSize size_;
    int bandTop_ = 0;
    int bandEnd_ = 0;
    std::vector<std::uint8_t> head_;
    std::uint32_t headAdler_ = 1;
    std::vector<std::uint8_t> tail_;
    std::uint32_t tailAdler_ = 1;
    std::size_t tailRawBytes_ = 0;
};

} // namespace pennolux
