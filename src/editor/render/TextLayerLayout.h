#pragma once

#include <QFont>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

#include "editor/model/Layers.h"

namespace pennolux {

class RenderFont;
class RenderFontCache;

// The lines a text layer draws: its text cut at every CR LF, CR or LF. An
// empty text is one empty line, and a text ending in a break ends in one.
QStringList textLayerLines(const QString& text);

// The box a text layer takes for its text: as wide as the widest line's
// advance and as high as its lines' cells, with the Simple page's metrics so a
// line measures the same on both pages. Sides beyond an int are cut to the
// largest int. Throws AppError for a line too long to lay out.
QSize textLayerExtent(const QString& text, const RenderFont& font);

// One line of a text layer where it is drawn: its cell's top-left (the
// baseline lies the font's ascent below) and its advance, in canvas pixels.
struct PlacedLine {
    QString text;  // at most kMaxLineCharacters: a longer line is drawn cut there
    std::int64_t left = 0;
    std::int64_t top = 0;
    std::int64_t advance = 0;
};

// A text layer's lines as the canvas and every image draw them: aligned in
// the box, in the layer's font or, with Shrink to fit, the largest whole
// pixel size down to the floor at which the text fits the box.
struct TextLayerPlacement {
    QFont font;  // ask the cache for its RenderFont
    int cellHeight = 0;
    std::vector<PlacedLine> lines;
    // Every non-empty line (its advance, or its ink when centred) lies inside
    // the box and the canvas, its cell's rows too: nothing of the text is cut off.
    bool whole = true;
};

// Lines are placed in the box, each aligned on its own, the block of lines as
// a whole aligned vertically. A left- or right-aligned line is placed and
// measured by its advance; a centred one by its ink, so its margins are equal
// to the pixel (glyphs' side bearings differ). A line wider than the box
// overflows it on both sides when centred and to the left when right-aligned,
// and is then clipped by the box.
TextLayerPlacement placeTextLayer(const TextLayer& layer, RenderFontCache& fonts, QSize canvas);

} // namespace pennolux
