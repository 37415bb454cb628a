#pragma once

#include <QSize>

class QSvgRenderer;

namespace pennolux {

// What drawing an SVG costs the raster painter, in its own measure. The
// painter fills a shape band by band, a band being as many pixel rows as
// its cell store holds, and for every band walks each edge that reaches
// into it whole: an edge costs its cells times the bands it reaches. Where
// many edges cross the same rows the bands are one row high, so a comb of
// long teeth costs the square of its height. Illustrations measure about
// 10^6; 10^9 draws in about three seconds on a busy two-core machine.
constexpr double kMaxSvgDrawingCost = 1e9;

// The cost of drawing renderer's picture at the given size: the drawing is
// walked once without painting a pixel.
double svgDrawingCost(QSvgRenderer& renderer, QSize drawn);

} // namespace pennolux
