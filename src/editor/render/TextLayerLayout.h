#pragma once

#include <QSize>
#include <QString>
#include <QStringList>

namespace pennolux {

class RenderFont;

// The lines a text layer draws: its text cut at every CR LF, CR or LF. An
// empty text is one empty line, and a text ending in a break ends in one.
QStringList textLayerLines(const QString& text);

// The box a text layer takes for its text: as wide as the widest line's
// advance and as high as its lines' cells, with the Simple page's metrics so a
// line measures the same on both pages. Sides beyond an int are cut to the
// largest int. Throws AppError for a line too long to lay out.
QSize textLayerExtent(const QString& text, const RenderFont& font);

} // namespace pennolux
