#include "TextMetrics.h"

#include <QFontMetrics>
#include <QRawFont>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <optional>

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

// The copy gets font data of its own, so a RenderFont made on a worker thread
// shares no lazily filled engine cache with another thread: setPixelSize
// detaches unless the size is already set and marked resolved.
QFont pixelSizedFont(const QFont& font)
{
    QFont sized(font);
    sized.setResolveMask(sized.resolveMask() & ~uint(QFont::SizeResolved));
    sized.setPixelSize(std::max(emPixelsAt96Dpi(font), 1));
    return sized;
}

} // namespace

RenderFont::RenderFont(const QFont& font) : font_(pixelSizedFont(font)), metrics_(font_)
{
    if (const auto cell = readWindowsCellMetrics(font_)) {
        ascent_ = scaledToEm(cell->winAscent, font_.pixelSize(), cell->unitsPerEm);
        descent_ = scaledToEm(cell->winDescent, font_.pixelSize(), cell->unitsPerEm);
    } else {
        ascent_ = metrics_.ascent();
        descent_ = metrics_.descent();
    }
}

int RenderFont::advance(const QString& text) const
{
    return metrics_.horizontalAdvance(text);
}

int GetTextWidth(const QString& text, const QFont& font)
{
    return RenderFont(font).advance(text);
}

int GetTextHeight(const QString& /*text*/, const QFont& font)
{
    return RenderFont(font).cellHeight();
}

} // namespace pennolux
