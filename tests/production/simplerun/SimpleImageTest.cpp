#include <QImage>
#include <QSet>
#include <gtest/gtest.h>

#include "app/DesignFont.h"
#include "production/simplerun/SimpleRun.h"
#include "production/simplerun/TextMetrics.h"

namespace pennolux {
namespace {

const QColor kSkyBlue(166, 202, 240);

SimpleRunSettings settingsWithMargins(int left, int right, int top, int bottom, int pointSize = 8)
{
    SimpleRunSettings settings;
    settings.background = kSkyBlue;
    settings.font = designFont(pointSize);
    settings.textColor = Qt::black;
    settings.left = left;
    settings.right = right;
    settings.top = top;
    settings.bottom = bottom;
    return settings;
}

QImage render(const QString& text, const SimpleRunSettings& settings)
{
    return renderSimpleImage(text, settings, RenderFont(settings.font));
}

bool onlyBackground(const QImage& image, const QRect& area)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixelColor(x, y) != kSkyBlue)
                return false;
    return true;
}

TEST(TextMetricsTest, CellIsTheWindowsCellOfTheFont)
{
    // Qt alone reports 11 for 8 pt (the embedded bitmaps' ascent 9 + descent 2).
    EXPECT_EQ(GetTextHeight("x", designFont(8)), 13);
    EXPECT_EQ(GetTextHeight("x", designFont(24)), 39);
    const RenderFont font(designFont(8));
    EXPECT_EQ(font.font().pixelSize(), 11);
    EXPECT_EQ(font.ascent(), 11);
}

TEST(SimpleImageTest, IsTheTextCellPlusTheMargins)
{
    const QString text = "alice@example.com";
    const QFont font = designFont(8);
    const QImage designImage = render(text, settingsWithMargins(1, 1, 1, 1));
    EXPECT_EQ(designImage.size(), QSize(GetTextWidth(text, font) + 2, 15));
    EXPECT_EQ(render(text, settingsWithMargins(0, 0, 0, 0)).size(),
              QSize(GetTextWidth(text, font), GetTextHeight(text, font)));
    EXPECT_EQ(designImage.format(), QImage::Format_RGB32);
    EXPECT_EQ(designImage.dotsPerMeterX(), 3780);
}

TEST(SimpleImageTest, SpacesAreDrawnAndWidenTheImage)
{
    const SimpleRunSettings settings = settingsWithMargins(1, 1, 1, 1);
    const QImage spaces = render("   ", settings);
    EXPECT_EQ(spaces.width(), GetTextWidth("   ", settings.font) + 2);
    EXPECT_GT(spaces.width(), 2);
    EXPECT_TRUE(onlyBackground(spaces, spaces.rect()));

    EXPECT_GT(render(" x", settings).width(), render("x", settings).width());
    EXPECT_GT(render("x ", settings).width(), render("x", settings).width());
}

// Extra top and bottom margins show only background, and the rows between
// them are the margin-free image: nothing of the glyphs was cut off.
TEST(SimpleImageTest, DescendersAndAscendersFitTheCell)
{
    const int extra = 5;
    for (const int pointSize : {8, 24}) {
        SCOPED_TRACE(pointSize);
        const QImage tight = render("j@Éy", settingsWithMargins(0, 0, 0, 0, pointSize));
        const QImage roomy = render("j@Éy", settingsWithMargins(0, 0, extra, extra, pointSize));
        EXPECT_TRUE(onlyBackground(roomy, QRect(0, 0, roomy.width(), extra)));
        EXPECT_TRUE(onlyBackground(roomy, QRect(0, roomy.height() - extra, roomy.width(), extra)));
        EXPECT_EQ(roomy.copy(0, extra, tight.width(), tight.height()), tight);
        EXPECT_FALSE(onlyBackground(tight, tight.rect()));
    }
}

TEST(SimpleImageTest, DrawsInTheTextColorOverTheBackground)
{
    SimpleRunSettings settings = settingsWithMargins(2, 2, 2, 2, 24);
    settings.textColor = QColor(200, 10, 30);
    const QImage image = render("H", settings);
    EXPECT_EQ(image.pixelColor(0, 0), kSkyBlue);
    bool textColorFound = false;
    for (int y = 0; y < image.height() && !textColorFound; ++y)
        for (int x = 0; x < image.width() && !textColorFound; ++x)
            textColorFound = image.pixelColor(x, y) == settings.textColor;
    EXPECT_TRUE(textColorFound);
}

// Tahoma's 'gasp' table asks for no smoothing from 9 to 16 pixels and for
// smoothing above: 8 pt (11 px) is drawn in two colours, 24 pt (32 px) is not.
TEST(SimpleImageTest, SmoothingFollowsTheFontsGaspTable)
{
    auto colors = [](const QImage& image) {
        QSet<QRgb> seen;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                seen.insert(image.pixel(x, y));
        return seen.size();
    };
    EXPECT_EQ(colors(render("john.smith@example.com", settingsWithMargins(1, 1, 1, 1, 8))), 2);
    EXPECT_GT(colors(render("john.smith@example.com", settingsWithMargins(1, 1, 1, 1, 24))), 2);
}

} // namespace
} // namespace pennolux
