#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>

#include "production/linerun/LineEncoder.h"
#include "production/writers/ImageFormat.h"

namespace pennolux {

class RenderFont;

// How the Simple page's images look: each is the line's text plus four
// margins, filled with one colour.
struct SimpleLook {
    QColor background;
    QFont font;
    QColor textColor;  // already resolved from a system colour
    int left = 1;
    int right = 1;
    int top = 1;
    int bottom = 1;
};

// The working image of one line: text size plus margins, filled with the
// background, the text drawn with its cell's top-left at (left, top). Throws
// AppError for a line no working image can hold.
QImage renderSimpleImage(const QString& text, const SimpleLook& look, const RenderFont& font);

// Encoders of Simple images in the format, one per thread, for runLines.
LineEncoderFactory simpleLineEncoders(const SimpleLook& look, ImageFormat format);

} // namespace pennolux
