#pragma once

#include <QByteArray>
#include <QString>

namespace pennolux {

// Every element is drawn over the whole picture at the most; a drawing of
// more is refused. Illustrations have a few thousand.
constexpr int kMaxSvgElements = 10'000;

// Every point of a path, polygon or polyline is read, and walked once to
// measure what drawing it costs (svgDrawingCost), before it is drawn; this
// many take about a second. Detailed illustrations and logos have a few ten
// thousand, a few a hundred thousand.
constexpr qsizetype kMaxSvgPathPoints = 500'000;

// Why an SVG picture may not be handed to the SVG renderer, or an empty
// string when it may. A template carries its picture whole, so the drawing
// may refer to nothing outside its own bytes: the renderer would otherwise
// read any file of the machine it names (and wait for ever on a pipe).
// Allowed are "data:" URIs and references to "#fragments" of the drawing
// itself. Also refused: XML entity declarations, compressed SVG (the
// renderer would unpack what this check never saw) and XML that is not well
// formed (the renderer reads up to the error, references included), and
// drawings of more than kMaxSvgElements elements or kMaxSvgPathPoints points.
QString svgRefusal(const QByteArray& bytes);

} // namespace pennolux
