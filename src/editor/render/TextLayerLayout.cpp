#include "editor/render/TextLayerLayout.h"

#include <QFontMetrics>
#include <QRegularExpression>
#include <algorithm>
#include <cstdint>
#include <limits>

#include "editor/render/RenderFontCache.h"
#include "production/simplerun/TextMetrics.h"

namespace pennolux {

namespace {

int cutToInt(std::int64_t value)
{
    return int(std::min<std::int64_t>(value, std::numeric_limits<int>::max()));
}

// The offset that aligns `size` in `room`; halves are truncated toward zero,
// so a centred line with an odd pixel to spare leaves it on the right.
std::int64_t alignedOffset(std::int64_t room, std::int64_t size, bool centred, bool atEnd)
{
    if (centred)
        return (room - size) / 2;
    return atEnd ? room - size : 0;
}

// What of a line is aligned: its advance from the pen's start, or for a
// centred line its ink, whose margins are what the eye compares (glyphs'
// side bearings differ by a pixel or two).
struct LineExtent {
    std::int64_t advance = 0;
    std::int64_t start = 0;  // from the pen's start
    std::int64_t width = 0;
};

// Qt's 26.6 fixed point wraps past 2^25 pixels; beyond half of that a line
// is aligned by its advance, which is measured safely.
constexpr std::int64_t kSafeInkReach = std::int64_t(1) << 24;

LineExtent extentOf(const QString& line, const RenderFont& font, bool byInk)
{
    LineExtent extent;
    extent.advance = font.checkedAdvance(line);
    extent.width = extent.advance;
    const QFontMetrics metrics(font.font());
    if (byInk && !line.isEmpty() && std::int64_t(line.size()) * std::max(metrics.maxWidth(), 1) * 2 < kSafeInkReach) {
        const QRect ink = font.tightBoundingRect(line);
        if (!ink.isEmpty()) {
            extent.start = ink.left();
            extent.width = ink.width();
        }
    }
    return extent;
}

struct MeasuredText {
    std::vector<LineExtent> lines;
    std::int64_t widest = 0;
    std::int64_t height = 0;

    bool fits(const LayerBox& box) const { return widest <= box.width && height <= box.height; }
};

MeasuredText measure(const QStringList& lines, const RenderFont& font, bool byInk)
{
    MeasuredText measured;
    measured.lines.reserve(std::size_t(lines.size()));
    for (const QString& line : lines) {
        measured.lines.push_back(extentOf(line, font, byInk));
        measured.widest = std::max(measured.widest, measured.lines.back().width);
    }
    measured.height = std::int64_t(lines.size()) * font.cellHeight();
    return measured;
}

QFont atPixelSize(const QFont& font, int pixels)
{
    QFont sized(font);
    sized.setPixelSize(pixels);
    return sized;
}

// The largest whole pixel size from `floor` up to `full` (exclusive) at which
// the text fits the box, or the floor: a binary search, as a text's extent
// grows with the size.
int shrunkPixelSize(const QStringList& lines, const QFont& font, RenderFontCache& fonts, const LayerBox& box,
                    bool byInk, int floor, int full)
{
    int fitting = floor;
    int low = floor + 1;
    int high = full - 1;
    while (low <= high) {
        const int middle = low + (high - low) / 2;
        if (measure(lines, fonts.fontFor(atPixelSize(font, middle)), byInk).fits(box)) {
            fitting = middle;
            low = middle + 1;
        } else {
            high = middle - 1;
        }
    }
    return fitting;
}

} // namespace

QStringList textLayerLines(const QString& text)
{
    static const QRegularExpression kLineBreak(QStringLiteral("\r\n|\r|\n"));
    return text.split(kLineBreak);
}

QSize textLayerExtent(const QString& text, const RenderFont& font)
{
    const QStringList lines = textLayerLines(text);
    std::int64_t widest = 0;
    for (const QString& line : lines)
        widest = std::max(widest, font.checkedAdvance(line));
    return QSize(cutToInt(widest), cutToInt(std::int64_t(lines.size()) * font.cellHeight()));
}

} // namespace pennolux

namespace pennolux {

TextLayerPlacement placeTextLayer(const TextLayer& layer, RenderFontCache& fonts, QSize canvas)
{
    QStringList lines = textLayerLines(layer.text);
    for (QString& line : lines)
        line.truncate(kMaxLineCharacters);
    const LayerBox& box = layer.box;
    QFont face = layer.font.font;
    const RenderFont* font = &fonts.fontFor(face);
    const TextAlignment& alignment = layer.alignment;
    const bool byInk = alignment.horizontal == HorizontalAlignment::Centre;
    MeasuredText measured = measure(lines, *font, byInk);
    if (alignment.shrinkToFit && !measured.fits(box)) {
        const int full = font->font().pixelSize();
        const int floor = std::min(kSmallestShrunkPixels, full);
        if (floor < full) {
            face = atPixelSize(face, shrunkPixelSize(lines, face, fonts, box, byInk, floor, full));
            font = &fonts.fontFor(face);
            measured = measure(lines, *font, byInk);
        }
    }

    TextLayerPlacement placement;
    placement.font = face;
    placement.cellHeight = font->cellHeight();
    const std::int64_t blockTop =
        box.top + alignedOffset(box.height, measured.height, alignment.vertical == VerticalAlignment::Middle,
                                alignment.vertical == VerticalAlignment::Bottom);
    const QRect shown = box.rect() & QRect(QPoint(0, 0), canvas);
    placement.lines.reserve(std::size_t(lines.size()));
    for (qsizetype index = 0; index < lines.size(); ++index) {
        PlacedLine placed;
        placed.text = lines[index];
        const LineExtent& extent = measured.lines[std::size_t(index)];
        placed.advance = extent.advance;
        const std::int64_t start =
            box.left + alignedOffset(box.width, extent.width, byInk, alignment.horizontal == HorizontalAlignment::Right);
        placed.left = start - extent.start;
        placed.top = blockTop + index * placement.cellHeight;
        if (!placed.text.isEmpty()) {
            const bool inside = start >= shown.left() && placed.top >= shown.top() &&
                                start + extent.width <= std::int64_t(shown.left()) + shown.width() &&
                                placed.top + placement.cellHeight <= std::int64_t(shown.top()) + shown.height();
            placement.whole = placement.whole && inside && !shown.isEmpty();
        }
        placement.lines.push_back(std::move(placed));
    }
    return placement;
}

} // namespace pennolux
