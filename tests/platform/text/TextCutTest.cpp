#include <gtest/gtest.h>

#include "platform/text/TextCut.h"

namespace pennolux {
namespace {

// Cut on whole characters: never between the halves of an emoji nor between
// a letter and its accent.
TEST(CutOnWholeCharacters, KeepsShortTextAndCutsLongTextBeforeTheCharacterAtTheLimit)
{
    const QString ellipsis = QString(QChar(0x2026));
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");      // two UTF-16 units
    const QString accented = QString::fromUtf8("e\xCC\x81");          // e and a combining acute
    struct Case {
        const char* what;
        QString text;
        QString cut;
    };
    const Case cases[] = {
        {"at the limit", "abcde", "abcde"},
        {"one past it", "abcdef", "abcde" + ellipsis},
        {"an emoji across the limit", "abcd" + emoji + "x", "abcd" + ellipsis},
        {"an emoji ending at the limit", "abc" + emoji + "x", "abc" + emoji + ellipsis},
        {"an accent just past the limit", "abcd" + accented + "x", "abcd" + ellipsis},
        {"only emojis", emoji + emoji + emoji, emoji + emoji + ellipsis},
    };
    for (const Case& c : cases)
        EXPECT_EQ(cutOnWholeCharacters(c.text, 5), c.cut) << c.what;
    EXPECT_EQ(cutOnWholeCharacters(QString(1000000, u'a'), 2000), QString(2000, u'a') + ellipsis);
}

// One cut, two measures: four characters of emojis and accents are more
// than four units; counted by characters, a huge text is not read whole.
TEST(WholeCharacterCutEnd, CountsUnitsOrCharacters)
{
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");
    const QString accented = QString::fromUtf8("e\xCC\x81");
    const QString text = emoji + accented + "ab" + emoji;
    EXPECT_EQ(wholeCharacterCutEnd(text, 4, CutMeasure::Utf16Units), 4);
    EXPECT_EQ(wholeCharacterCutEnd(text, 3, CutMeasure::Utf16Units), 2);
    EXPECT_EQ(wholeCharacterCutEnd(text, 4, CutMeasure::Characters), 6);
    EXPECT_EQ(wholeCharacterCutEnd(text, 5, CutMeasure::Characters), text.size());
    EXPECT_EQ(wholeCharacterCutEnd(text, 0, CutMeasure::Characters), 0);
    EXPECT_EQ(wholeCharacterCutEnd(QString(1'000'000, u'a'), 5000, CutMeasure::Characters), 4095);
}

} // namespace
} // namespace pennolux
