#include "production/simplerun/TextMetrics.h"

#include <QFontMetrics>
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

} // namespace

RenderFont::RenderFont(const QFont& font) : source_(font), font_(pixelSizedFont(font)), metrics_(font_)
{
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
