#include "editor/model/BoxHandles.h"

#include <algorithm>

#include "editor/model/Template.h"

namespace pennolux {

namespace {

constexpr qint64 kFarthest = 1'000'000'000;

} // namespace

QPoint handlePoint(const QRect& frame, BoxHandle handle)
{
    const int x = (handle & MovesLeft) ? frame.left() : (handle & MovesRight) ? frame.left() + frame.width()
                                                                               : frame.left() + frame.width() / 2;
    const int y = (handle & MovesTop) ? frame.top() : (handle & MovesBottom) ? frame.top() + frame.height()
                                                                             : frame.top() + frame.height() / 2;
    return QPoint(x, y);
}

LayerBox resizedBox(const LayerBox& start, BoxHandle handle, QPoint offset)
{
    // Worked out on the edges in 64 bits, then kept to what a template file
    // holds, so a box dragged far still saves and opens again.
    qint64 left = start.left;
    qint64 top = start.top;
    qint64 right = qint64(start.left) + start.width;
    qint64 bottom = qint64(start.top) + start.height;
    if (handle & MovesLeft)
        left = std::min(left + offset.x(), right - 1);
    if (handle & MovesRight)
        right = std::max(right + offset.x(), left + 1);
    if (handle & MovesTop)
        top = std::min(top + offset.y(), bottom - 1);
    if (handle & MovesBottom)
        bottom = std::max(bottom + offset.y(), top + 1);
    const auto place = [](qint64 value) { return int(std::clamp(value, -kFarthest, kFarthest)); };
    const auto extent = [](qint64 value) { return int(std::clamp<qint64>(value, 1, kFarthest)); };
    return {place(left), place(top), extent(right - left), extent(bottom - top)};
}

bool hasResizableBox(const Template& content, LayerRef layer)
{
    if (!content.holds(layer))
        return false;
    if (layer.isShape())
        return true;
    const TextLayer* text = content.textLayer(layer.number);
    return text && text->hasFixedBox();
}

} // namespace pennolux
