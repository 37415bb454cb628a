#include <gtest/gtest.h>

#include "app/settings/FontKeys.h"
#include "app/settings/IniDocument.h"
#include "platform/Dialogs.h"

namespace pennolux {
namespace {

QFont styledFont(bool bold, bool underline, bool italic, bool strikeOut)
{
    QFont font("Tahoma", 12);
    font.setBold(bold);
    font.setUnderline(underline);
    font.setItalic(italic);
    font.setStrikeOut(strikeOut);
    return font;
}

TEST(WriteFontKeys, WritesColorFamilySizeAndStyleInThatOrder)
{
    IniDocument settings("settings.ini");
    writeFontKeys(settings, {styledFont(true, true, true, true), colors::clWindowText});

    EXPECT_EQ(settings.serialize(), QByteArray("\xEF\xBB\xBF[Settings]\r\n"
                                               "Textcolor=clWindowText\r\n"
                                               "Fontname=Tahoma\r\n"
                                               "Fontsize=12\r\n"
                                               "Fontstyle=7\r\n"
                                               "\r\n"));
}

TEST(WriteFontKeys, StyleBitsAreBoldOneUnderlineTwoItalicFourAndIgnoreStrikeOut)
{
    struct Case {
        bool bold, underline, italic, strikeOut;
        const char* expected;
    };
    const Case cases[] = {
        {false, false, false, false, "0"}, {true, false, false, false, "1"},
        {false, true, false, false, "2"},  {false, false, true, false, "4"},
        {false, false, false, true, "0"},  {true, false, true, false, "5"},
    };
    for (const Case& c : cases) {
        IniDocument settings;
        writeFontKeys(settings, {styledFont(c.bold, c.underline, c.italic, c.strikeOut), colors::clBlack});
        EXPECT_EQ(settings.readString("Settings", "Fontstyle"), c.expected);
    }
}

TEST(WriteFontKeys, RoundsFractionalSizesAndNamesUnnamedColorsInHex)
{
    QFont font("Tahoma");
    font.setPointSizeF(10.6);
    IniDocument settings;
    writeFontKeys(settings, {font, ColorValue(0x123456)});
    EXPECT_EQ(settings.readString("Settings", "Fontsize"), "11");
    EXPECT_EQ(settings.readString("Settings", "Textcolor"), "$00123456");

    // A second confirmation replaces the values in place.
    writeFontKeys(settings, {styledFont(false, false, false, false), colors::clSkyBlue});
    EXPECT_EQ(settings.readString("Settings", "Textcolor"), "clSkyBlue");
    EXPECT_TRUE(settings.serialize().contains("[Settings]\r\nTextcolor=clSkyBlue\r\nFontname="));
}

} // namespace
} // namespace pennolux
