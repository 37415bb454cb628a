#include <gtest/gtest.h>

#include "platform/text/TextLines.h"
#include "production/textlist/ListLines.h"

namespace pennolux {
namespace {

struct SplitCase {
    const char* text;
    QStringList lines;
};

class ListLinesTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(ListLinesTest, SplitsLikeEveryTextFile)
{
    const QString text = QString::fromUtf8(GetParam().text);
    EXPECT_EQ(splitLines(text), GetParam().lines);

    const ListTextLineSource source(text);
    QStringList fromSource;
    for (int i = 0; i < source.lineCount(); ++i)
        fromSource.append(source.line(i));
    EXPECT_EQ(fromSource, GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ListLinesTest,
    ::testing::Values(SplitCase{"", {}}, SplitCase{"a", {"a"}}, SplitCase{"a\n", {"a"}}, SplitCase{"\n", {""}},
                      SplitCase{"a\r\nb\nc\rd", {"a", "b", "c", "d"}}, SplitCase{"a\r\n\r\nb\r\n", {"a", "", "b"}},
                      SplitCase{"a\n\n", {"a", ""}}, SplitCase{"a\n\r", {"a", ""}},
                      SplitCase{"  x  \r\r", {"  x  ", ""}}));

TEST(WithLineEnds, WritesEveryBreakAsTheGivenEndAndKeepsTheirNumber)
{
    const std::pair<QString, QString> cases[] = {
        {"", ""},
        {"no breaks", "no breaks"},
        {"\r", "\r\n"},
        {"\r\n", "\r\n"},
        {"\n\r", "\r\n\r\n"},
        {"a\r\r\nb\n\nc\r", "a\r\n\r\nb\r\n\r\nc\r\n"},
        {QString::fromUtf8("ü\nx"), QString::fromUtf8("ü\r\nx")},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(withLineEnds(text, u"\r\n"), expected) << text.toStdString();
    EXPECT_EQ(withLineEnds(u"a\r\nb\rc", u"\n"), "a\nb\nc");
}

} // namespace
} // namespace pennolux
