#include "ColorValue.h"

#include <QGuiApplication>
#include <QPalette>
#include <array>

namespace pennolux {

namespace {

struct NamedColor {
    const char* name;
    std::uint32_t value;
};

constexpr std::uint32_t kSystemBase = 0xFF000000u;

constexpr std::array<NamedColor, 22> kStandardColors{{
    {"clBlack", 0x000000},      {"clMaroon", 0x000080},     {"clGreen", 0x008000},
    {"clOlive", 0x008080},      {"clNavy", 0x800000},       {"clPurple", 0x800080},
    {"clTeal", 0x808000},       {"clGray", 0x808080},       {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},        {"clLime", 0x00FF00},       {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},       {"clFuchsia", 0xFF00FF},    {"clAqua", 0xFFFF00},
    {"clWhite", 0xFFFFFF},      {"clMoneyGreen", 0xC0DCC0}, {"clSkyBlue", 0xF0CAA6},
    {"clCream", 0xF0FBFF},      {"clMedGray", 0xA4A0A0},    {"clNone", 0x1FFFFFFF},
    {"clDefault", 0x20000000},
}};

// Index 25 has no name: the design never gave that system colour one.
constexpr std::array<NamedColor, 30> kSystemColors{{
    {"clScrollBar", kSystemBase + 0},
    {"clBackground", kSystemBase + 1},
    {"clActiveCaption", kSystemBase + 2},
    {"clInactiveCaption", kSystemBase + 3},
    {"clMenu", kSystemBase + 4},
    {"clWindow", kSystemBase + 5},
    {"clWindowFrame", kSystemBase + 6},
    {"clMenuText", kSystemBase + 7},
    {"clWindowText", kSystemBase + 8},
    {"clCaptionText", kSystemBase + 9},
    {"clActiveBorder", kSystemBase + 10},
    {"clInactiveBorder", kSystemBase + 11},
    {"clAppWorkSpace", kSystemBase + 12},
    {"clHighlight", kSystemBase + 13},
    {"clHighlightText", kSystemBase + 14},
    {"clBtnFace", kSystemBase + 15},
    {"clBtnShadow", kSystemBase + 16},
    {"clGrayText", kSystemBase + 17},
    {"clBtnText", kSystemBase + 18},
    {"clInactiveCaptionText", kSystemBase + 19},
    {"clBtnHighlight", kSystemBase + 20},
    {"cl3DDkShadow", kSystemBase + 21},
    {"cl3DLight", kSystemBase + 22},
    {"clInfoText", kSystemBase + 23},
    {"clInfoBk", kSystemBase + 24},
    {"clHotLight", kSystemBase + 26},
    {"clGradientActiveCaption", kSystemBase + 27},
    {"clGradientInactiveCaption", kSystemBase + 28},
    {"clMenuHighlight", kSystemBase + 29},
    {"clMenuBar", kSystemBase + 30},
}};

// The classic desktop scheme, as 0x00BBGGRR, for system colours the palette
// has no role for.
constexpr std::array<std::uint32_t, 31> kClassicSystemColors{
    0xC8D0D4, 0xA56E3A, 0x6A240A, 0x808080, 0xC8D0D4, 0xFFFFFF, 0x000000, 0x000000,
    0x000000, 0xFFFFFF, 0xC8D0D4, 0xC8D0D4, 0x808080, 0x6A240A, 0xFFFFFF, 0xC8D0D4,
    0x808080, 0x808080, 0x000000, 0xC8D0D4, 0xFFFFFF, 0x404040, 0xC8D0D4, 0x000000,
    0xE1FFFF, 0xB5B5B5, 0x800000, 0xF0CAA6, 0xC0C0C0, 0x6A240A, 0xC8D0D4,
};

// The design platform's standard scheme, as it has stood since its version 10
// (the colours a fresh installation reports), as 0xRRGGBB: black window text on
// white, #F0F0F0 button faces, #0078D7 highlight. Images are drawn with these
// whatever the desktop theme, so the window and the batch tool write the same
// bytes. Index 25 has no name; it takes the older scheme's value.
constexpr std::array<QRgb, 31> kImageSystemColors{
    0xC8C8C8, 0x000000, 0x99B4D1, 0xBFCDDB, 0xF0F0F0, 0xFFFFFF, 0x646464, 0x000000,
    0x000000, 0x000000, 0xB4B4B4, 0xF4F7FC, 0xABABAB, 0x0078D7, 0xFFFFFF, 0xF0F0F0,
    0xA0A0A0, 0x6D6D6D, 0x000000, 0x000000, 0xFFFFFF, 0x696969, 0xE3E3E3, 0x000000,
    0xFFFFE1, 0xB5B5B5, 0x0066CC, 0xB9D1EA, 0xD7E4F2, 0x3399FF, 0xF0F0F0,
};

struct PaletteSource {
    int systemIndex;
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

constexpr std::array<PaletteSource, 17> kPaletteSources{{
    {8, QPalette::Active, QPalette::WindowText},       // clWindowText
    {5, QPalette::Active, QPalette::Base},             // clWindow
    {15, QPalette::Active, QPalette::Button},          // clBtnFace
    {18, QPalette::Active, QPalette::ButtonText},      // clBtnText
    {13, QPalette::Active, QPalette::Highlight},       // clHighlight
    {14, QPalette::Active, QPalette::HighlightedText}, // clHighlightText
    {17, QPalette::Disabled, QPalette::Text},          // clGrayText
    {23, QPalette::Active, QPalette::ToolTipText},     // clInfoText
    {24, QPalette::Active, QPalette::ToolTipBase},     // clInfoBk
    {4, QPalette::Active, QPalette::Window},           // clMenu
    {7, QPalette::Active, QPalette::WindowText},       // clMenuText
    {16, QPalette::Active, QPalette::Dark},            // clBtnShadow
    {20, QPalette::Active, QPalette::Light},           // clBtnHighlight
    {21, QPalette::Active, QPalette::Shadow},          // cl3DDkShadow
    {22, QPalette::Active, QPalette::Midlight},        // cl3DLight
    {26, QPalette::Active, QPalette::Link},            // clHotLight
    {6, QPalette::Active, QPalette::Shadow},           // clWindowFrame
}};

QColor fromBgr(std::uint32_t bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

const NamedColor* findByValue(std::uint32_t value)
{
    for (const auto& entry : kStandardColors)
        if (entry.value == value)
            return &entry;
    for (const auto& entry : kSystemColors)
        if (entry.value == value)
            return &entry;
    return nullptr;
}

const NamedColor* findByName(const QString& name)
{
    for (const auto& entry : kStandardColors)
        if (name.compare(QLatin1String(entry.name), Qt::CaseInsensitive) == 0)
            return &entry;
    for (const auto& entry : kSystemColors)
        if (name.compare(QLatin1String(entry.name), Qt::CaseInsensitive) == 0)
            return &entry;
    return nullptr;
}

int hexDigitValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

std::optional<std::uint32_t> parseHex(QStringView digits, qsizetype maxDigits)
{
    if (digits.isEmpty() || digits.size() > maxDigits)
        return std::nullopt;
    std::uint32_t value = 0;
    for (QChar c : digits) {
        const int digit = hexDigitValue(c);
        if (digit < 0)
            return std::nullopt;
        value = (value << 4) | std::uint32_t(digit);
    }
    return value;
}

QColor resolveSystemColor(int index, const QPalette& palette)
{
    for (const auto& source : kPaletteSources)
        if (source.systemIndex == index)
            return palette.color(source.group, source.role);
    if (index >= 0 && std::size_t(index) < kClassicSystemColors.size())
        return fromBgr(kClassicSystemColors[std::size_t(index)]);
    return Qt::black;
}

} // namespace

ColorValue ColorValue::fromRgb(const QColor& color)
{
    const QColor rgb = color.toRgb();
    return ColorValue(std::uint32_t(rgb.red()) | (std::uint32_t(rgb.green()) << 8)
                      | (std::uint32_t(rgb.blue()) << 16));
}

std::optional<ColorValue> ColorValue::fromString(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (const NamedColor* named = findByName(trimmed))
        return ColorValue(named->value);
    if (trimmed.startsWith(u'$')) {
        if (auto value = parseHex(QStringView(trimmed).mid(1), 8))
            return ColorValue(*value);
        return std::nullopt;
    }
    if (trimmed.startsWith(u'#') && trimmed.size() == 7) {
        if (auto rgb = parseHex(QStringView(trimmed).mid(1), 6))
            return ColorValue(((*rgb & 0xFF) << 16) | (*rgb & 0xFF00) | ((*rgb >> 16) & 0xFF));
    }
    return std::nullopt;
}

QString ColorValue::toString() const
{
    if (const NamedColor* named = findByValue(value_))
        return QLatin1String(named->name);
    return u'$' + QStringLiteral("%1").arg(value_, 8, 16, QLatin1Char('0')).toUpper();
}

QColor ColorValue::resolve(const QPalette& palette) const
{
    if (isSystemColor())
        return resolveSystemColor(int(value_ & 0x00FFFFFFu), palette);
    // clNone and clDefault carry white and black in their low bytes.
    return fromBgr(value_ & 0x00FFFFFFu);
}

QColor ColorValue::resolve() const
{
    return resolve(QGuiApplication::palette());
}

QColor ColorValue::resolveForImage() const
{
    if (!isSystemColor())
        return fromBgr(value_ & 0x00FFFFFFu);
    const std::uint32_t index = value_ & 0x00FFFFFFu;
    if (index < kImageSystemColors.size())
        return QColor(kImageSystemColors[index]);
    return Qt::black;
}

} // namespace pennolux
