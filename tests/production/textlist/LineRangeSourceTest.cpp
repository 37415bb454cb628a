#include <gtest/gtest.h>

#include <limits>

#include "production/textlist/LineRangeSource.h"
#include "production/textlist/ListLines.h"

namespace pennolux {
namespace {

// A list whose lines read as their own number in the whole list, so a view
// shows which lines it passes on; "" stands for an empty line.
const QStringList kList{"1", "", "3", "", "", "6", "7"};

struct RangeCase {
    int firstNumber;
    LineRange range;
    int viewFirstNumber;
    QStringList lines;
};

class LineRangeSourceTest : public ::testing::TestWithParam<RangeCase> {};

TEST_P(LineRangeSourceTest, PassesOnTheLinesNumberedInTheRange)
{
    const StringListLineSource list(kList);
    const LineRangeSource view(list, GetParam().firstNumber, GetParam().range);
    EXPECT_EQ(view.firstNumber(), GetParam().viewFirstNumber);
    QStringList lines;
    for (int index = 0; index < view.lineCount(); ++index)
        lines.append(view.line(index));
    EXPECT_EQ(lines, GetParam().lines);
}

constexpr int kEnd = LineRange::kLastPossible;

INSTANTIATE_TEST_SUITE_P(
    Ranges, LineRangeSourceTest,
    ::testing::Values(
        RangeCase{1, {1, kEnd}, 1, kList},
        // Empty lines inside a range keep their place, and so their number.
        RangeCase{1, {2, 5}, 2, {"", "3", "", ""}},
        RangeCase{1, {6, kEnd}, 6, {"6", "7"}},
        RangeCase{1, {3, 3}, 3, {"3"}},
        RangeCase{1, {5, 100}, 5, {"", "6", "7"}},
        // A piece of a longer list numbered from 11: the range uses those numbers.
        RangeCase{11, {1, kEnd}, 11, kList},
        RangeCase{11, {13, 16}, 13, {"3", "", "", "6"}},
        RangeCase{11, {1, 12}, 11, {"1", ""}},
        // Nothing before the list's first line or after its last.
        RangeCase{11, {1, 10}, 11, {}},
        RangeCase{1, {8, kEnd}, 8, {}},
        RangeCase{kEnd - 6, {1, kEnd}, kEnd - 6, kList},
        RangeCase{kEnd - 2, {1, kEnd}, kEnd - 2, {"1", "", "3"}}));

// The window's list may change while a run walks it; a view asks afresh.
class GrowingList final : public LineSource {
public:
    int lineCount() const override { return count; }
    QString line(int index) const override { return QString::number(index + 1); }
    int count = 2;
};

TEST(LineRangeSourceGrowth, FollowsTheListsCountUpToTheRangesEnd)
{
    GrowingList list;
    const LineRangeSource view(list, 1, {2, 5});
    EXPECT_EQ(view.lineCount(), 1);
    list.count = 4;
    EXPECT_EQ(view.lineCount(), 3);
    list.count = 50;
    EXPECT_EQ(view.lineCount(), 4);
    EXPECT_EQ(view.line(3), "5");
    list.count = 0;
    EXPECT_EQ(view.lineCount(), 0);
}

} // namespace
} // namespace pennolux
