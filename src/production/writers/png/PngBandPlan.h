#pragma once

#include <QImage>
#include <QSize>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace pennolux {

// Rows [top, end) of an image.
struct RowBand {
    int top = 0;
    int end = 0;

    bool empty() const { return end <= top; }
    bool holds(const RowBand& other) const { return other.empty() || (top <= other.top && other.end <= end); }
    friend bool operator==(const RowBand&, const RowBand&) = default;
};

// The bands clamped to rows [0, height), sorted from the top, those that
// overlap or touch (an empty one too) merged into one.
std::vector<RowBand> mergedRowBands(std::vector<RowBand> bands, int height);

// What the PNG files of a run share when its images differ only in some
// bands of rows (the rows the text layers take): the image data above,
// between and below the bands, compressed once (by zlib, whose sync flush
// ends every piece but the last on a byte boundary without the final mark).
// A zlib stream may be put together from such pieces, so every file is the
// zlib header, the rows above the first band, each band's rows compressed
// for the image followed by the constant rows after it, and the Adler-32 of
// all rows combined from the pieces' checksums. Every row is Sub-filtered
// and compressed at level 7 as every PNG is; only the boundaries of the
// deflate blocks differ from compressing the rows in one go. Read-only once
// made, so every worker thread of a run shares one.
class PngBandPlan {
public:
    // Constant rows compressed: the first piece begins with the zlib header,
    // the last ends with the final block.
    struct Piece {
        std::vector<std::uint8_t> bytes;
        std::uint32_t adler = 1;
        std::size_t rawBytes = 0;
    };

    // `constantImage` shows every pixel outside the bands as each image of
    // the run will have it. The bands are merged (mergedRowBands); at least
    // one is kept.
    PngBandPlan(const QImage& constantImage, std::vector<RowBand> bands);
    PngBandPlan(const QImage& constantImage, int bandTop, int bandEnd)
        : PngBandPlan(constantImage, std::vector<RowBand>{{bandTop, bandEnd}})
    {
    }

    QSize size() const { return size_; }
    // Sorted, apart from one another.
    const std::vector<RowBand>& bands() const { return bands_; }
    // One more than the bands: piece k lies above band k, the last below the last band.
    const std::vector<Piece>& constantPieces() const { return pieces_; }

private:
    QSize size_;
    std::vector<RowBand> bands_;
    std::vector<Piece> pieces_;
};

} // namespace pennolux
