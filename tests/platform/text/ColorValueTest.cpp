#include <QGuiApplication>
#include <QPalette>
#include <gtest/gtest.h>

#include "platform/text/ColorValue.h"

namespace pennolux {
namespace {

TEST(ColorValue, WritesTheStandardNameElseDollarAndEightUpperCaseDigits)
{
    const std::pair<std::uint32_t, const char*> cases[] = {
        {0xFF000008, "clWindowText"},
        {0xFF000000, "clScrollBar"},
        {0xFF00001E, "clMenuBar"},
        {0xFF000019, "$FF000019"}, // system colour 25 has no name
        {0xF0CAA6, "clSkyBlue"},
        {0x000000, "clBlack"},
        {0x0000FF, "clRed"},
        {0xFF0000, "clBlue"},
        {0x1FFFFFFF, "clNone"},
        {0x20000000, "clDefault"},
        {0x123456, "$00123456"},
        {0xABCDEF, "$00ABCDEF"},
    };
    for (const auto& [value, name] : cases)
        EXPECT_EQ(ColorValue(value).toString(), QString::fromLatin1(name)) << name;
    EXPECT_EQ(colors::clWindowText.toString(), "clWindowText");
}

TEST(ColorValue, ReadsNamesWithoutCaseDollarHexAndHashRgb)
{
    const std::pair<const char*, std::uint32_t> cases[] = {
        {"clWindowText", 0xFF000008}, {"CLWINDOWTEXT", 0xFF000008}, {"clskyblue", 0xF0CAA6},
        {"cl3DDkShadow", 0xFF000015}, {"$00123456", 0x123456},      {"$ff000008", 0xFF000008},
        {"#A6CAF0", 0xF0CAA6},        {"#123456", 0x563412},
    };
    for (const auto& [text, value] : cases) {
        const auto parsed = ColorValue::fromString(QString::fromLatin1(text));
        ASSERT_TRUE(parsed.has_value()) << text;
        EXPECT_EQ(parsed->value(), value) << text;
    }
    for (const char* bad : {"", "clNope", "$", "$123456789", "$12G456", "#12345", "#1234567", "123456"})
        EXPECT_FALSE(ColorValue::fromString(QString::fromLatin1(bad)).has_value()) << bad;
}

TEST(ColorValue, EveryValueSurvivesTheTextRoundTrip)
{
    std::vector<std::uint32_t> values{0xF0CAA6, 0x123456, 0x1FFFFFFF, 0x20000000, 0xFFFFFF};
    for (std::uint32_t n = 0; n <= 31; ++n)
        values.push_back(ColorValue::system(int(n)).value());
    for (std::uint32_t value : values)
        EXPECT_EQ(ColorValue::fromString(ColorValue(value).toString()), ColorValue(value))
            << ColorValue(value).toString().toStdString();
}

TEST(ColorValue, FromRgbStoresBlueGreenRed)
{
    EXPECT_EQ(ColorValue::fromRgb(QColor(0x12, 0x34, 0x56)).value(), 0x563412u);
    EXPECT_EQ(ColorValue::fromRgb(QColor(0xA6, 0xCA, 0xF0)), colors::clSkyBlue);
}

TEST(ColorValue, ResolvesPlainColorsDirectlyAndSystemColorsThroughThePalette)
{
    QPalette palette;
    palette.setColor(QPalette::Active, QPalette::WindowText, QColor(1, 2, 3));
    palette.setColor(QPalette::Disabled, QPalette::Text, QColor(4, 5, 6));
    palette.setColor(QPalette::Active, QPalette::Link, QColor(7, 8, 9));
    palette.setColor(QPalette::Active, QPalette::Base, QColor(10, 11, 12));

    EXPECT_EQ(ColorValue::system(8).resolve(palette), QColor(1, 2, 3));    // clWindowText
    EXPECT_EQ(ColorValue::system(17).resolve(palette), QColor(4, 5, 6));   // clGrayText
    EXPECT_EQ(ColorValue::system(26).resolve(palette), QColor(7, 8, 9));   // clHotLight
    EXPECT_EQ(ColorValue::system(5).resolve(palette), QColor(10, 11, 12)); // clWindow
    // No palette role: the classic desktop colour.
    EXPECT_EQ(ColorValue::system(1).resolve(palette), QColor(0x3A, 0x6E, 0xA5));
    EXPECT_EQ(ColorValue::system(99).resolve(palette), QColor(Qt::black));

    EXPECT_EQ(ColorValue(0x563412).resolve(palette), QColor(0x12, 0x34, 0x56));
    EXPECT_EQ(ColorValue(0x1FFFFFFF).resolve(palette), QColor(Qt::white)); // clNone
    EXPECT_EQ(ColorValue(0x20000000).resolve(palette), QColor(Qt::black)); // clDefault
}

// Images take the design platform's standard scheme whatever the theme: the
// window on a dark desktop writes what the batch tool writes offscreen.
TEST(ColorValue, ResolvesForImagesThroughTheStandardSchemeNotTheApplicationPalette)
{
    const QPalette before = QGuiApplication::palette();
    QPalette dark;
    dark.setColor(QPalette::WindowText, QColor(0xF0, 0xF0, 0xF0));
    dark.setColor(QPalette::Base, QColor(0x20, 0x20, 0x20));
    dark.setColor(QPalette::Button, QColor(0x35, 0x35, 0x35));
    QGuiApplication::setPalette(dark);
    const std::pair<const char*, QColor> cases[] = {
        {"clWindowText", QColor(0x00, 0x00, 0x00)}, {"clWindow", QColor(0xFF, 0xFF, 0xFF)},
        {"clBtnFace", QColor(0xF0, 0xF0, 0xF0)},    {"clBtnText", QColor(0x00, 0x00, 0x00)},
        {"clHighlight", QColor(0x00, 0x78, 0xD7)},  {"clHighlightText", QColor(0xFF, 0xFF, 0xFF)},
        {"clGrayText", QColor(0x6D, 0x6D, 0x6D)},   {"clInfoBk", QColor(0xFF, 0xFF, 0xE1)},
        {"clMenuBar", QColor(0xF0, 0xF0, 0xF0)},    {"clSkyBlue", QColor(0xA6, 0xCA, 0xF0)},
    };
    for (const auto& [name, expected] : cases)
        EXPECT_EQ(ColorValue::fromString(name)->resolveForImage(), expected) << name;
    // The window's own controls keep following the theme.
    EXPECT_EQ(colors::clWindowText.resolve(), QColor(0xF0, 0xF0, 0xF0));
    EXPECT_EQ(ColorValue::system(99).resolveForImage(), QColor(Qt::black));
    EXPECT_EQ(ColorValue(0x20000000).resolveForImage(), QColor(Qt::black)); // clDefault
    QGuiApplication::setPalette(before);
}

} // namespace
} // namespace pennolux
