#include <gtest/gtest.h>

#include "production/textlist/ListLines.h"

namespace pennolux {
namespace {

struct SplitCase {
    const char* text;
    QStringList lines;
};

class ListLinesTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(ListLinesTest, SplitsByTheEditorsRule)
{
    const QString text = QString::fromUtf8(GetParam().text);
    EXPECT_EQ(splitListLines(text), GetParam().lines);

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

} // namespace
} // namespace pennolux
