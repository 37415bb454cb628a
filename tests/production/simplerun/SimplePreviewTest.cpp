#include <gtest/gtest.h>

#include "platform/fonts/DesignFont.h"
#include "production/simplerun/SimplePreview.h"
#include "production/textlist/ListLines.h"

namespace pennolux {
namespace {

TEST(SimplePreviewTest, ShowsTheCursorsLineOrTheNextOneWithText)
{
    struct Case {
        QStringList lines;
        int cursor;
        int expectedIndex;  // -1: nothing to show
    };
    const Case cases[] = {
        {{"a", "b", "c"}, 1, 1},       // the cursor's line
        {{"a", "", "", "d"}, 1, 3},    // an empty line: the next with text
        {{"a", "b", ""}, 2, 0},        // nothing after it: the first with text
        {{"a", "b"}, 2, 0},            // the cursor after the last line
        {{"", "", ""}, 1, -1},         // no text at all
        {{}, 0, -1},                   // an empty list
        {{"  "}, 0, 0},                // spaces are text
    };
    for (const Case& c : cases) {
        const std::optional<PreviewLine> line = previewLine(StringListLineSource(c.lines), c.cursor);
        SCOPED_TRACE(c.lines.join('|').toStdString() + " @" + std::to_string(c.cursor));
        if (c.expectedIndex < 0) {
            EXPECT_FALSE(line);
            continue;
        }
        ASSERT_TRUE(line);
        EXPECT_EQ(line->index, c.expectedIndex);
        EXPECT_EQ(line->text, c.lines[c.expectedIndex]);
    }
}

TEST(SimplePreviewTest, ZoomIsTheLargestWholeOneThatFitsUpToEight)
{
    struct Case {
        QSize image;
        QSize area;
        int zoom;
    };
    const Case cases[] = {
        {{127, 15}, {600, 120}, 4},  // 5× would be 635 wide
        {{20, 10}, {600, 120}, 8},   // never beyond 8×
        {{127, 15}, {600, 29}, 1},   // the height decides
        {{900, 15}, {600, 120}, 1},  // too wide even at 1×: cut, not shrunk
        {{127, 15}, {254, 30}, 2},   // exactly fits
        {{}, {600, 120}, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(previewZoom(c.image, c.area), c.zoom) << c.image.width() << 'x' << c.image.height();
}

TEST(SimplePreviewTest, ALineTooLongForAnImageGivesStartsErrorInstead)
{
    SimpleLook look;
    look.font = designFont(8);
    const SimplePreview preview = renderSimplePreview({4, QString(70000, u'w')}, look, RenderFont(look.font));
    EXPECT_TRUE(preview.image.isNull());
    EXPECT_EQ(preview.error, QString::fromUtf8("Line 5 (\"wwwwwwwwwwwwwwwwwwww…\"): The line of 70000 characters "
                                               "is too long for an image (at most 65535 characters)"));
}

} // namespace
} // namespace pennolux
