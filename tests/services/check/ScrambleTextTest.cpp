#include <QRegularExpression>
#include <gtest/gtest.h>

#include "services/check/ScrambleText.h"

namespace pennolux {
namespace {

TEST(ScrambleText, RoundTripsAnyTextAsUpperCaseHex)
{
    EXPECT_EQ(ScrambleText(""), "");
    EXPECT_EQ(UnscrambleText(""), "");
    const QString texts[] = {
        "https://www.zantoph.example/download/pennolux-2.2.exe",
        QString::fromUtf8("https://例え.jp/ダウンロード?ü=ß&emoji=😀"),
        QString::fromUtf8("\x01\x7f plain ✓"),
    };
    const QRegularExpression upperHex("^([0-9A-F]{2})+$");
    for (const QString& text : texts) {
        const QString scrambled = ScrambleText(text);
        EXPECT_TRUE(upperHex.match(scrambled).hasMatch()) << scrambled.toStdString();
        EXPECT_EQ(scrambled.size(), 2 * text.toUtf8().size());
        EXPECT_NE(scrambled, QString::fromLatin1(text.toUtf8().toHex().toUpper()));
        EXPECT_EQ(UnscrambleText(scrambled), text);
        EXPECT_EQ(UnscrambleText(scrambled.toLower()), text);
        EXPECT_EQ(UnscrambleText(scrambled + "7"), text); // an odd last character is ignored
    }
}

TEST(ScrambleText, NonHexadecimalInputGivesNothing)
{
    const QString scrambled = ScrambleText("https://x.example/");
    EXPECT_EQ(UnscrambleText(scrambled.left(4) + "G1" + scrambled.mid(6)), "");
    EXPECT_EQ(UnscrambleText("https://x.example/"), "");
    EXPECT_EQ(UnscrambleText(" " + scrambled), "");
}

} // namespace
} // namespace pennolux
