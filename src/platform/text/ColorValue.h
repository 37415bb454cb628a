#pragma once

#include <QColor>
#include <QString>
#include <cstdint>
#include <optional>

class QPalette;

namespace pennolux {

// A colour as the design stores it: 0x00BBGGRR for a plain colour, or
// 0xFF000000 + n for system colour n, which is resolved only when drawn, so
// "clWindowText" stays a name. The window's own controls resolve it through
// the palette (resolve); what goes into an image resolves it through one fixed
// scheme (resolveForImage), so a dark desktop theme never changes a file.
class ColorValue {
public:
    constexpr ColorValue() = default;
    constexpr explicit ColorValue(std::uint32_t value) : value_(value) {}

    static ColorValue fromRgb(const QColor& color);
    static constexpr ColorValue system(int index) { return ColorValue(0xFF000000u + std::uint32_t(index)); }

    // A standard name ("clSkyBlue", "clWindowText"), "$00BBGGRR", or "#RRGGBB".
    static std::optional<ColorValue> fromString(const QString& text);
    // The standard name when the value has one, else "$" + eight upper-case hex digits.
    QString toString() const;

    constexpr std::uint32_t value() const { return value_; }
    constexpr bool isSystemColor() const { return (value_ & 0xFF000000u) == 0xFF000000u; }
    QColor resolve(const QPalette& palette) const;
    // Resolved through the application's palette.
    QColor resolve() const;
    // Resolved through the design platform's standard scheme, whatever the
    // desktop theme: the colour images, the canvas and the preview draw.
    QColor resolveForImage() const;

    friend constexpr bool operator==(ColorValue, ColorValue) = default;

private:
    std::uint32_t value_ = 0;
};

namespace colors {
inline constexpr ColorValue clBlack{0x000000};
inline constexpr ColorValue clWhite{0xFFFFFF};
inline constexpr ColorValue clSkyBlue{0xF0CAA6};
inline constexpr ColorValue clWindowText = ColorValue::system(8);
} // namespace colors

} // namespace pennolux
