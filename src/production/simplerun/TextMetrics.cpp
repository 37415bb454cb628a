#include "production/simplerun/TextMetrics.h"

#include <QFontMetrics>
#include <QGlyphRun>
#include <QPainter>
#include <QRawFont>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <optional>

#include "platform/AppError.h"

namespace pennolux {

namespace {

// The design's display draws at 96 dots per inch and sizes fonts in whole
// pixels: the point size is rounded, not truncated (8 pt -> 11 px).
int emPixelsAt96Dpi(const QFont& font)
{
    if (font.pixelSize() > 0)
        return font.pixelSize();
    return int(std::lround(font.pointSizeF() * 96.0 / 72.0));
}

// winAscent and winDescent of the OS/2 table, in font units.
struct WindowsCellMetrics {
    int winAscent = 0;
    int winDescent = 0;
    int unitsPerEm = 0;
};

constexpr qsizetype kWinAscentOffset = 74;
constexpr qsizetype kWinDescentOffset = 76;

std::optional<WindowsCellMetrics> readWindowsCellMetrics(const QFont& font)
{
    const QRawFont rawFont = QRawFont::fromFont(font);
    if (!rawFont.isValid())
        return std::nullopt;
    const QByteArray os2 = rawFont.fontTable("OS/2");
    const int unitsPerEm = int(rawFont.unitsPerEm());
    if (os2.size() < kWinDescentOffset + 2 || unitsPerEm <= 0)
        return std::nullopt;
    const auto* bytes = reinterpret_cast<const uchar*>(os2.constData());
    return WindowsCellMetrics{qFromBigEndian<quint16>(bytes + kWinAscentOffset),
                              qFromBigEndian<quint16>(bytes + kWinDescentOffset), unitsPerEm};
}

int scaledToEm(int fontUnits, int em, int unitsPerEm)
{
    return int(std::lround(double(fontUnits) * em / unitsPerEm));
}

constexpr quint16 kGaspDoGray = 0x0002;

// Half of the 2^25 pixels at which Qt's 26.6 fixed-point widths wrap.
constexpr std::int64_t kSafeFixedPointWidth = std::int64_t(1) << 24;
// Characters measured at once when a line is measured in pieces: even glyphs
// of two em at the largest cell the working limits allow stay far below the
// wrap.
constexpr qsizetype kMeasuredPiece = 64;

// Whether the font's 'gasp' table asks for grey-scale smoothing at this pixel
// size. Tahoma, for one, turns it off from 9 to 16 pixels, where its hinted
// outlines and embedded bitmaps are designed to be drawn crisp; that is also
// how the design's platform draws it with standard smoothing. Without the
// table the text is smoothed.
bool fontAsksForSmoothing(const QFont& font, int pixels)
{
    const QByteArray gasp = QRawFont::fromFont(font).fontTable("gasp");
    if (gasp.size() < 4)
        return true;
    const auto* bytes = reinterpret_cast<const uchar*>(gasp.constData());
    const int ranges = qFromBigEndian<quint16>(bytes + 2);
    for (int range = 0; range < ranges && 4 + 4 * range + 4 <= gasp.size(); ++range) {
        const uchar* entry = bytes + 4 + 4 * range;
        if (pixels <= qFromBigEndian<quint16>(entry))
            return (qFromBigEndian<quint16>(entry + 2) & kGaspDoGray) != 0;
    }
    return true;
}

// The copy gets font data of its own, so a RenderFont made on a worker thread
// shares no lazily filled engine cache with another thread: setPixelSize
// detaches unless the size is already set and marked resolved.
QFont pixelSizedFont(const QFont& font)
{
    QFont sized(font);
    sized.setResolveMask(sized.resolveMask() & ~uint(QFont::SizeResolved));
    const int pixels = std::max(emPixelsAt96Dpi(font), 1);
    sized.setPixelSize(pixels);
    sized.setHintingPreference(QFont::PreferFullHinting);
    if (!fontAsksForSmoothing(sized, pixels))
        sized.setStyleStrategy(QFont::StyleStrategy(sized.styleStrategy() | QFont::NoAntialias));
    return sized;
}

// The glyph a font's 'cmap' table gives a character, or 0, the missing glyph,
// when no Unicode subtable (format 4 or 12) maps it. Read here because Qt
// quietly stands a space in for a tab the font does not map.
quint32 glyphInCmap(const QByteArray& cmap, char32_t character)
{
    const auto* bytes = reinterpret_cast<const uchar*>(cmap.constData());
    const qsizetype size = cmap.size();
    auto u16 = [&](qsizetype at) -> quint32 { return at + 2 <= size ? qFromBigEndian<quint16>(bytes + at) : 0; };
    auto u32 = [&](qsizetype at) -> quint32 { return at + 4 <= size ? qFromBigEndian<quint32>(bytes + at) : 0; };
    const quint32 subtables = u16(2);
    for (quint32 index = 0; index < subtables; ++index) {
        const qsizetype record = 4 + 8 * qsizetype(index);
        const quint32 platform = u16(record);
        const quint32 encoding = u16(record + 2);
        const bool unicode = platform == 0 || (platform == 3 && (encoding == 1 || encoding == 10));
        const qsizetype table = u32(record + 4);
        if (!unicode || table <= 0 || table >= size)
            continue;
        const quint32 format = u16(table);
        if (format == 4 && character <= 0xffff) {
            const qsizetype segments = u16(table + 6) / 2;
            const qsizetype ends = table + 14;
            const qsizetype starts = ends + 2 * segments + 2;
            const qsizetype deltas = starts + 2 * segments;
            const qsizetype offsets = deltas + 2 * segments;
            for (qsizetype segment = 0; segment < segments; ++segment) {
                if (character > u16(ends + 2 * segment))
                    continue;
                const quint32 start = u16(starts + 2 * segment);
                if (character < start)
                    return 0;
                const quint32 delta = u16(deltas + 2 * segment);
                const quint32 rangeOffset = u16(offsets + 2 * segment);
                if (rangeOffset == 0)
                    return (character + delta) & 0xffff;
                const quint32 glyph = u16(offsets + 2 * segment + rangeOffset + 2 * (character - start));
                return glyph == 0 ? 0 : (glyph + delta) & 0xffff;
            }
        } else if (format == 12) {
            const quint32 groups = u32(table + 12);
            for (quint32 group = 0; group < groups && table + 16 + 12 * qsizetype(group) + 12 <= size; ++group) {
                const qsizetype at = table + 16 + 12 * qsizetype(group);
                if (character >= u32(at) && character <= u32(at + 4))
                    return u32(at + 8) + (character - u32(at));
            }
        }
    }
    return 0;
}

// Past this the pen is beyond every image: nothing more of a line is drawn.
constexpr std::int64_t kFarthestPen = std::int64_t(1) << 24;

} // namespace

RenderFont::RenderFont(const QFont& font)
    : source_(font), font_(pixelSizedFont(font)), metrics_(font_), rawFont_(QRawFont::fromFont(font_))
{
    if (rawFont_.isValid()) {
        tabGlyph_ = glyphInCmap(rawFont_.fontTable("cmap"), U'\t');
        tabAdvance_ = int(std::lround(rawFont_.advancesForGlyphIndexes(QList<quint32>{tabGlyph_}).front().x()));
    }
    if (const auto cell = readWindowsCellMetrics(font_)) {
        ascent_ = scaledToEm(cell->winAscent, font_.pixelSize(), cell->unitsPerEm);
        descent_ = scaledToEm(cell->winDescent, font_.pixelSize(), cell->unitsPerEm);
    } else {
        ascent_ = metrics_.ascent();
        descent_ = metrics_.descent();
    }
}

std::int64_t RenderFont::checkedAdvance(const QString& text) const
{
    if (text.size() > kMaxLineCharacters) {
        throw AppError(QStringLiteral("The line of %1 characters is too long for an image (at most %2 characters)")
                           .arg(text.size())
                           .arg(kMaxLineCharacters));
    }
    const qsizetype tabs = text.count(u'\t');
    if (tabs == 0)
        return advanceOfTabFreeText(text);
    std::int64_t sum = std::int64_t(tabs) * tabAdvance_;
    for (const QString& piece : text.split(u'\t'))
        sum += advanceOfTabFreeText(piece);
    return sum;
}

QRect RenderFont::tightBoundingRect(const QString& text) const
{
    if (!text.contains(u'\t'))
        return metrics_.tightBoundingRect(text);
    const QRectF tabBox = rawFont_.isValid() ? rawFont_.boundingRect(tabGlyph_) : QRectF();
    // Rounded as QFontMetrics rounds a text's box.
    const QRect tabInk(int(std::lround(tabBox.x())), int(std::lround(tabBox.y())), int(std::lround(tabBox.width())),
                       int(std::lround(tabBox.height())));
    QRect ink;
    int pen = 0;
    const QStringList pieces = text.split(u'\t');
    for (qsizetype index = 0; index < pieces.size(); ++index) {
        if (index > 0) {
            if (!tabInk.isEmpty())
                ink |= tabInk.translated(pen, 0);
            pen += tabAdvance_;
        }
        const QRect pieceInk = metrics_.tightBoundingRect(pieces[index]);
        if (!pieceInk.isEmpty())
            ink |= pieceInk.translated(pen, 0);
        pen += int(advanceOfTabFreeText(pieces[index]));
    }
    return ink;
}

void RenderFont::drawLine(QPainter& painter, QPoint baseline, const QString& text) const
{
    if (!text.contains(u'\t')) {
        painter.drawText(baseline, text);
        return;
    }
    // A tab separates bidirectional segments: the tabs and the pieces between
    // them stand at the paragraph's level, so the pieces follow each other in
    // the paragraph's direction, and each, drawn in that direction, is laid
    // out as within the whole line.
    const Qt::LayoutDirection before = painter.layoutDirection();
    Qt::LayoutDirection direction = before;
    if (direction == Qt::LayoutDirectionAuto)
        direction = text.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight;
    painter.setLayoutDirection(direction);
    QStringList pieces = text.split(u'\t');
    if (direction == Qt::RightToLeft)
        std::reverse(pieces.begin(), pieces.end());
    QGlyphRun tab;
    tab.setRawFont(rawFont_);
    tab.setGlyphIndexes({tabGlyph_});
    tab.setPositions({QPointF(0, 0)});
    // The line's underline and strike-out run on under the tab, as under any
    // other character.
    tab.setUnderline(font_.underline());
    tab.setStrikeOut(font_.strikeOut());
    tab.setOverline(font_.overline());
    std::int64_t pen = baseline.x();
    for (qsizetype index = 0; index < pieces.size() && pen < kFarthestPen; ++index) {
        if (index > 0) {
            if (rawFont_.isValid())
                painter.drawGlyphRun(QPointF(double(pen), baseline.y()), tab);
            pen += tabAdvance_;
        }
        painter.drawText(QPoint(int(pen), baseline.y()), pieces[index]);
        pen += advanceOfTabFreeText(pieces[index]);
    }
    painter.setLayoutDirection(before);
}

std::int64_t RenderFont::advanceOfTabFreeText(const QString& text) const
{
    // Qt measures in 26.6 fixed point, which wraps past 2^25 pixels. Where
    // the widest glyph could take the line near that, it is first measured in
    // pieces in 64 bits: a sum that large is refused by the size limits
    // anyway, and a smaller one is safe to measure whole.
    const std::int64_t bound = std::int64_t(text.size()) * std::max(metrics_.maxWidth(), 1) * 2;
    if (bound < kSafeFixedPointWidth)
        return metrics_.horizontalAdvance(text);
    std::int64_t sum = 0;
    for (qsizetype start = 0; start < text.size();) {
        qsizetype length = std::min(kMeasuredPiece, text.size() - start);
        if (start + length < text.size() && text.at(start + length).isLowSurrogate())
            --length;
        sum += metrics_.horizontalAdvance(text.mid(start, length));
        start += length;
    }
    if (sum >= kSafeFixedPointWidth / 2)
        return sum;
    return metrics_.horizontalAdvance(text);
}

} // namespace pennolux
