#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QPoint>
#include <QRawFont>
#include <QRect>
#include <QString>
#include <cstdint>

class QPainter;

namespace pennolux {

// The most characters one line of an image may hold. A longer line is refused
// before Qt lays it out: laying out megabytes of text takes gigabytes of
// memory, and no font makes a legible image of it within the working limits.
constexpr qsizetype kMaxLineCharacters = 65535;

// A font as a 96-dpi display draws it: the point size turned into the
// whole-pixel em size, and the cell (ascent + descent) taken from the font's
// OS/2 winAscent/winDescent scaled to that em and rounded, the way the
// platform the design was drawn on sizes a line. Qt's own ascent and descent
// serve for a font without that table. Measuring and drawing use this one
// object, so nothing is clipped. Glyphs advance by whole, hinted pixels, as on
// the design's platform: fractional pen positions drawn crisp leave uneven
// gaps between letters. Each thread makes its own: a font's engine cache
// belongs to the thread that used it.
//
// A tab is measured and drawn as the glyph the font itself gives U+0009
// (for many fonts the missing-glyph box), never expanded to a tab stop as Qt
// lays it out: an image's width is the sum of its characters' advances.
class RenderFont {
public:
    explicit RenderFont(const QFont& font);

    const QFont& font() const { return font_; }
    // The font this was made from, as handed in.
    const QFont& source() const { return source_; }
    int ascent() const { return ascent_; }
    int descent() const { return descent_; }
    int cellHeight() const { return ascent_ + descent_; }
    // The text's advance in pixels. Throws AppError for a text longer than
    // kMaxLineCharacters; never wraps around, however wide the font.
    std::int64_t checkedAdvance(const QString& text) const;
    // The text's ink from the pen's start, as QFontMetrics::tightBoundingRect
    // gives it, with tabs as checkedAdvance takes them.
    QRect tightBoundingRect(const QString& text) const;
    // Draws one line with the painter's font and pen (which must be this
    // font's), the pen starting at `baseline`.
    void drawLine(QPainter& painter, QPoint baseline, const QString& text) const;

private:
    std::int64_t advanceOfTabFreeText(const QString& text) const;

    QFont source_;
    QFont font_;
    QFontMetrics metrics_;  // made once: measuring is per line
    QRawFont rawFont_;
    quint32 tabGlyph_ = 0;
    int tabAdvance_ = 0;
    int ascent_ = 0;
    int descent_ = 0;
};

} // namespace pennolux
