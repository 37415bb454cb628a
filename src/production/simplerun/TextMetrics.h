#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QString>

namespace pennolux {

// A font as a 96-dpi display draws it: the point size turned into the
// whole-pixel em size, and the cell (ascent + descent) taken from the font's
// OS/2 winAscent/winDescent scaled to that em and rounded, the way the
// platform the design was drawn on sizes a line. Qt's own ascent and descent
// serve for a font without that table. Measuring and drawing use this one
// object, so nothing is clipped. Each thread makes its own: a font's engine
// cache belongs to the thread that used it.
class RenderFont {
public:
    explicit RenderFont(const QFont& font);

    const QFont& font() const { return font_; }
    int ascent() const { return ascent_; }
    int descent() const { return descent_; }
    int cellHeight() const { return ascent_ + descent_; }
    int advance(const QString& text) const;

private:
    QFont font_;
    QFontMetrics metrics_;  // made once: measuring is per line
    int ascent_ = 0;
    int descent_ = 0;
};

// Advance width of the whole text in pixels (no wrapping, no tab expansion).
int GetTextWidth(const QString& text, const QFont& font);
// The font's full cell height in pixels: 13 for Tahoma 8 pt.
int GetTextHeight(const QString& text, const QFont& font);

} // namespace pennolux
