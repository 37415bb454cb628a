#include "editor/render/TextLayerLayout.h"

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

struct MeasuredText {
    std::vector<std::int64_t> advances;
    std::int64_t widest = 0;
    std::int64_t height = 0;

    bool fits(const LayerBox& box) const { return widest <= box.width && height <= box.height; }
};

MeasuredText measure(const QStringList& lines, const RenderFont& font)
{
    MeasuredText measured;
    measured.advances.reserve(std::size_t(lines.size()));
    for (const QString& line : lines) {
        measured.advances.push_back(font.checkedAdvance(line));
        measured.widest = std::max(measured.widest, measured.advances.back());
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
                    int floor, int full)
{
    int fitting = floor;
    int low = floor + 1;
    int high = full - 1;
    while (low <= high) {
        const int middle = low + (high - low) / 2;
        if (measure(lines, fonts.fontFor(atPixelSize(font, middle))).fits(box)) {
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
    MeasuredText measured = measure(lines, *font);
    if (layer.alignment.shrinkToFit && !measured.fits(box)) {
        const int full = font->font().pixelSize();
        const int floor = std::min(kSmallestShrunkPixels, full);
        if (floor < full) {
            face = atPixelSize(face, shrunkPixelSize(lines, face, fonts, box, floor, full));
            font = &fonts.fontFor(face);
            measured = measure(lines, *font);
        }
    }

    TextLayerPlacement placement;
    placement.font = face;
    placement.cellHeight = font->cellHeight();
    const TextAlignment& alignment = layer.alignment;
    const std::int64_t blockTop =
        box.top + alignedOffset(box.height, measured.height, alignment.vertical == VerticalAlignment::Middle,
                                alignment.vertical == VerticalAlignment::Bottom);
    const QRect shown = box.rect() & QRect(QPoint(0, 0), canvas);
    placement.lines.reserve(std::size_t(lines.size()));
    for (qsizetype index = 0; index < lines.size(); ++index) {
        PlacedLine placed;
        placed.text = lines[index];
        placed.advance = measured.advances[std::size_t(index)];
        placed.left = box.left + alignedOffset(box.width, placed.advance,
                                               alignment.horizontal == HorizontalAlignment::Centre,
                                               alignment.horizontal == HorizontalAlignment::Right);
        placed.top = blockTop + index * placement.cellHeight;
        if (!placed.text.isEmpty()) {
            const bool inside = placed.left >= shown.left() && placed.top >= shown.top() &&
                                placed.left + placed.advance <= std::int64_t(shown.left()) + shown.width() &&
                                placed.top + placement.cellHeight <= std::int64_t(shown.top()) + shown.height();
            placement.whole = placement.whole && inside && !shown.isEmpty();
        }
        placement.lines.push_back(std::move(placed));
    }
    return placement;
}

} // namespace pennolux
