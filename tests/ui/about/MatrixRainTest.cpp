#include <gtest/gtest.h>
#include <map>

#include "FakeRandomSource.h"
#include "ui/about/MatrixRain.h"

using namespace pennolux;
using namespace pennolux::testing;

namespace {

// 32 rows of 12 pixels, so matrixHeight + 1 = 33.
constexpr int kRows = 32;
constexpr QSize kOneColumn(8, kRows * 12 + 6);

RainCell erase(int column, int row)
{
    return {column, row, QChar(), qRgb(0, 0, 0)};
}

RainCell character(int column, int row, char c, int shadeValue)
{
    return {column, row, QChar(c), MatrixRain::shade(shadeValue)};
}

} // namespace

TEST(MatrixRainTest, SeedsTwoDropsPerColumnFromTheStartSize)
{
    FakeRandomSource random;
    MatrixRain rain(random);
    rain.start(QSize(446, kRows * 12 + 11));
    EXPECT_EQ(rain.matrixWidth(), 55);
    EXPECT_EQ(rain.matrixHeight(), kRows);
    ASSERT_EQ(rain.drops().size(), 110u);

    std::map<int, int> perColumn;
    for (std::size_t i = 0; i < rain.drops().size(); ++i) {
        const RainDrop& drop = rain.drops()[i];
        EXPECT_EQ(drop.column, int(i) % 55);
        EXPECT_GE(drop.row, 0);
        EXPECT_LT(drop.row, kRows);
        EXPECT_GE(drop.speed, 1);
        EXPECT_LE(drop.speed, 3);
        EXPECT_GE(drop.brightness, 0);
        EXPECT_LE(drop.brightness, 99);
        ++perColumn[drop.column];
    }
    EXPECT_EQ(perColumn.size(), 55u);
    for (const auto& [column, count] : perColumn)
        EXPECT_EQ(count, 2) << "column " << column;
    // Row, speed and brightness, in that order, drop by drop.
    ASSERT_EQ(random.askedBounds.size(), 3 * 110u);
    for (std::size_t i = 0; i < random.askedBounds.size(); i += 3) {
        EXPECT_EQ(random.askedBounds[i], kRows);
        EXPECT_EQ(random.askedBounds[i + 1], 3);
        EXPECT_EQ(random.askedBounds[i + 2], 100);
    }
}

TEST(MatrixRainTest, AResetKeepsTheStartSizeAndReseeds)
{
    FakeRandomSource random;
    MatrixRain rain(random);
    rain.start(QSize(80, 120));
    rain.tick();
    rain.tick();
    const std::vector<RainDrop> before = rain.drops();
    rain.reset();
    EXPECT_EQ(rain.matrixWidth(), 10);
    EXPECT_EQ(rain.matrixHeight(), 10);
    EXPECT_EQ(rain.drops().size(), 20u);
    EXPECT_EQ(rain.tickCounter(), 2u);

    rain.start(QSize(80, 120));
    EXPECT_EQ(rain.tickCounter(), 0u);
}

TEST(MatrixRainTest, DropTableHoldsAtMostFiveThousand)
{
    FakeRandomSource random;
    MatrixRain rain(random);
    rain.start(QSize(8 * 3000, 120));
    EXPECT_EQ(rain.matrixWidth(), 3000);
    EXPECT_EQ(rain.drops().size(), 5000u);
    EXPECT_EQ(rain.drops().back().column, 1999);
}

TEST(MatrixRainTest, EraseRowLiesFortyRowsAboveTheHeadWrappedIntoTheGrid)
{
    const struct {
        int head;
        int erased;
    } cases[] = {{0, 26}, {10, 3}, {7, 0}, {33, 26}, {40, 0}, {45, 5}};
    for (const auto& [head, erased] : cases)
        EXPECT_EQ(MatrixRain::eraseRow(head, kRows), erased) << "head " << head;
    // A grid shorter than forty rows wraps more than once.
    EXPECT_EQ(MatrixRain::eraseRow(0, 4), 0);
    EXPECT_EQ(MatrixRain::eraseRow(1, 4), 1);
}

TEST(MatrixRainTest, ShadesAreAGreenTintOfTheBrightness)
{
    EXPECT_EQ(MatrixRain::shade(255), qRgb(150, 255, 100));
    EXPECT_EQ(MatrixRain::shade(252), qRgb(148, 252, 98));
    EXPECT_EQ(MatrixRain::shade(84), qRgb(49, 84, 32));
    EXPECT_EQ(MatrixRain::shade(0), qRgb(0, 0, 0));
}

// One column with two drops: the first at row 0, speed 1, brightness 99;
// the second at row 10, speed 2, brightness 50.
TEST(MatrixRainTest, TickPaintsEraseTrailAndHeadThenMovesTheDropsWhoseTurnItIs)
{
    FakeRandomSource random;
    random.scripted = {0, 0, 99, 10, 1, 50};
    MatrixRain rain(random);
    rain.start(kOneColumn);
    ASSERT_EQ(rain.drops().size(), 2u);

    random.scripted = {0 /* z */, 6 /* h */};
    const std::vector<RainCell> first = rain.tick();
    const std::vector<RainCell> expected = {
        // Row 0 has no trail; its erase row is 26 (0 - 40 + 33 + 33).
        erase(0, 26), character(0, 0, 'z', 252),
        erase(0, 3), character(0, 9, 'h', 127 / 3), character(0, 10, 'h', 127)};
    EXPECT_EQ(first, expected);
    // Tick 0 is a multiple of every speed.
    EXPECT_EQ(rain.drops()[0].row, 1);
    EXPECT_EQ(rain.drops()[1].row, 11);

    random.scripted = {1 /* a */, 2 /* n */};
    const std::vector<RainCell> second = rain.tick();
    ASSERT_EQ(second.size(), 6u);
    EXPECT_EQ(second[1], character(0, 0, 'a', 252 / 3));  // the trail from row 1 on
    EXPECT_EQ(second[2], character(0, 1, 'a', 252));
    EXPECT_EQ(rain.drops()[0].row, 2);
    EXPECT_EQ(rain.drops()[1].row, 11);  // speed 2 waits on tick 1

    rain.tick();
    EXPECT_EQ(rain.drops()[1].row, 12);
    EXPECT_EQ(rain.tickCounter(), 3u);
}

TEST(MatrixRainTest, ADropPastTheGridStartsOverInItsColumn)
{
    FakeRandomSource random;
    random.scripted = {kRows - 1, 0, 40, 5, 2, 70};
    MatrixRain rain(random);
    rain.start(kOneColumn);
    ASSERT_EQ(rain.drops().size(), 2u);

    // The first drop (speed 1) reaches row 33 = matrixHeight + 1 after two
    // ticks and is still drawn there.
    rain.tick();
    rain.tick();
    ASSERT_EQ(rain.drops()[0].row, kRows + 1);

    // Moving on to row 34 = matrixHeight + 2 restarts it at row 0 with a
    // new speed and brightness; its column stays.
    const std::size_t asked = random.askedBounds.size();
    random.scripted = {3, 2 /* speed 3 */, 17, 3};
    const std::vector<RainCell> cells = rain.tick();
    EXPECT_EQ(cells.front(), erase(0, MatrixRain::eraseRow(kRows + 1, kRows)));
    const RainDrop& restarted = rain.drops()[0];
    EXPECT_EQ(restarted.row, 0);
    EXPECT_EQ(restarted.column, 0);
    EXPECT_EQ(restarted.speed, 3);
    EXPECT_EQ(restarted.brightness, 17);
    // Its character, then its speed and brightness; then the other drop's character.
    const std::vector<int> bounds(random.askedBounds.begin() + std::ptrdiff_t(asked), random.askedBounds.end());
    EXPECT_EQ(bounds, (std::vector<int>{7, 3, 100, 7}));
}

TEST(MatrixRainTest, CharactersComeFromTheCharacterSetEachEquallyLikely)
{
    FakeRandomSource random;
    random.scripted = {0, 0, 50, 0, 0, 50};  // both drops at row 0, speed 1: no restart in 7 ticks
    MatrixRain rain(random);
    rain.start(QSize(8, 120));
    random.askedBounds.clear();
    QString drawn;
    for (int i = 0; i < 7; ++i) {
        random.scripted = {i, i};
        for (const RainCell& cell : rain.tick())
            if (!cell.erases())
                drawn += cell.character;
        random.scripted.clear();
    }
    for (QChar c : QStringLiteral("zantoph"))
        EXPECT_TRUE(drawn.contains(c)) << c.toLatin1();
    for (QChar c : drawn)
        EXPECT_TRUE(QStringLiteral("zantoph").contains(c));
    EXPECT_EQ(random.askedBounds.front(), 7);
}
