#pragma once

#include <QPoint>
#include <QRect>
#include <array>

#include "editor/model/Layers.h"

namespace pennolux {

struct Template;

// The eight handles on the frame of a layer whose box can be resized: the
// four corners and the middles of the four sides, each named by the edges
// it moves.
enum BoxEdge { MovesLeft = 1, MovesTop = 2, MovesRight = 4, MovesBottom = 8 };
using BoxHandle = int;  // the edges a handle moves, a combination of BoxEdge

inline constexpr std::array<BoxHandle, 8> kBoxHandles{
    MovesLeft | MovesTop,    MovesTop,    MovesRight | MovesTop,    MovesRight,
    MovesRight | MovesBottom, MovesBottom, MovesLeft | MovesBottom, MovesLeft,
};

// Where a handle sits on a rectangle: on a corner or the middle of a side.
QPoint handlePoint(const QRect& frame, BoxHandle handle);

// The box after its handle was dragged by `offset` pixels: the handle's edges
// follow the pointer, the others stay; an edge dragged past the opposite one
// stops a pixel short of it.
LayerBox resizedBox(const LayerBox& start, BoxHandle handle, QPoint offset);

// A layer the pointer may resize by its handles: a shape, or a text layer
// whose box is fixed by its alignment (otherwise the box follows its text).
bool hasResizableBox(const Template& content, LayerRef layer);

} // namespace pennolux
