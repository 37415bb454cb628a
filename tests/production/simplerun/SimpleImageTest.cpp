#include <QDir>
#include <QFile>
#include <QGlyphRun>
#include <QImage>
#include <QSet>
#include <QTextLayout>
#include <gtest/gtest.h>

#include "IsolatedHomeTest.h"
#include "platform/fonts/DesignFont.h"
#include "platform/AppError.h"
#include "production/linerun/LineRun.h"
#include "production/simplerun/SimpleLineEncoder.h"
#include "production/simplerun/SimpleRun.h"
#include "production/simplerun/TextMetrics.h"
#include "production/textlist/ListLines.h"

namespace pennolux {
namespace {

const QColor kSkyBlue(166, 202, 240);
// Tahoma's hinted advances at 11 pixels (8 pt), added up by hand: "a" 6, "l" 2,
// "i" 2, "c" 5, "e" 6, "@" 10, "x" 6, "m" 8, "p" 6, "." 4, "o" 6, space 3.
constexpr int kAWidth8 = 6;
constexpr int kAliceWidth8 = 94;
constexpr int kThreeSpacesWidth8 = 9;

SimpleLook lookWithMargins(int left, int right, int top, int bottom, int pointSize = 8)
{
    SimpleLook look;
    look.background = kSkyBlue;
    look.font = designFont(pointSize);
    look.textColor = Qt::black;
    look.left = left;
    look.right = right;
    look.top = top;
    look.bottom = bottom;
    return look;
}

QImage render(const QString& text, const SimpleLook& look)
{
    return renderSimpleImage(text, look, RenderFont(look.font));
}

bool onlyBackground(const QImage& image, const QRect& area)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixelColor(x, y) != kSkyBlue)
                return false;
    return true;
}

QString errorOf(const QString& text, const SimpleLook& look)
{
    try {
        render(text, look);
    } catch (const AppError& error) {
        return error.message();
    }
    return {};
}

TEST(TextMetricsTest, CellIsTheWindowsCellOfTheFont)
{
    // Qt alone reports 11 for 8 pt (the embedded bitmaps' ascent 9 + descent 2).
    EXPECT_EQ(RenderFont(designFont(8)).cellHeight(), 13);
    EXPECT_EQ(RenderFont(designFont(24)).cellHeight(), 39);
    const RenderFont font(designFont(8));
    EXPECT_EQ(font.font().pixelSize(), 11);
    EXPECT_EQ(font.ascent(), 11);
}

// The image is exactly the text's hinted advance plus the margins, by widths
// known apart from the code that measures.
TEST(SimpleImageTest, IsTheTextsHintedAdvancePlusTheMargins)
{
    struct Case {
        const char* text;
        int pointSize;
        bool bold;
        int width;
    };
    const Case cases[] = {
        {"alice@example.com", 8, false, kAliceWidth8},
        {"john.smith@example.com", 8, false, 123},
        {"john.smith@example.com", 8, true, 145},
        {"   ", 8, false, kThreeSpacesWidth8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        SimpleLook look = lookWithMargins(1, 2, 3, 4, c.pointSize);
        look.font.setBold(c.bold);
        EXPECT_EQ(render(c.text, look).size(), QSize(c.width + 3, 13 + 7));
    }
    const QImage image = render("alice@example.com", lookWithMargins(0, 0, 0, 0));
    EXPECT_EQ(image.size(), QSize(kAliceWidth8, 13));
    EXPECT_EQ(image.format(), QImage::Format_RGB32);
    EXPECT_EQ(image.dotsPerMeterX(), 3780);
}

// Every glyph starts on a whole pixel, as the design's platform lays text out:
// pen positions drawn crisp from fractions leave a gap inside "smith".
TEST(SimpleImageTest, GlyphsStandOnWholePixels)
{
    for (const bool bold : {false, true}) {
        for (const int pointSize : {8, 10}) {
            QFont font = designFont(pointSize);
            font.setBold(bold);
            QTextLayout layout("john.smith@example.com", RenderFont(font).font());
            layout.beginLayout();
            layout.createLine();
            layout.endLayout();
            for (const QGlyphRun& run : layout.glyphRuns())
                for (const QPointF& position : run.positions())
                    EXPECT_EQ(position.x(), std::round(position.x())) << pointSize << (bold ? " bold" : "");
        }
    }
}

TEST(SimpleImageTest, SpacesAreDrawnAndWidenTheImage)
{
    const SimpleLook look = lookWithMargins(1, 1, 1, 1);
    const QImage spaces = render("   ", look);
    EXPECT_GT(spaces.width(), 2);
    EXPECT_TRUE(onlyBackground(spaces, spaces.rect()));
    EXPECT_GT(render(" x", look).width(), render("x", look).width());
    EXPECT_GT(render("x ", look).width(), render("x", look).width());
}

// Extra top and bottom margins show only background, and the rows between
// them are the margin-free image: nothing of the glyphs was cut off.
TEST(SimpleImageTest, DescendersAndAscendersFitTheCell)
{
    const int extra = 5;
    for (const int pointSize : {8, 24}) {
        SCOPED_TRACE(pointSize);
        const QImage tight = render("j@Éy", lookWithMargins(0, 0, 0, 0, pointSize));
        const QImage roomy = render("j@Éy", lookWithMargins(0, 0, extra, extra, pointSize));
        EXPECT_TRUE(onlyBackground(roomy, QRect(0, 0, roomy.width(), extra)));
        EXPECT_TRUE(onlyBackground(roomy, QRect(0, roomy.height() - extra, roomy.width(), extra)));
        EXPECT_EQ(roomy.copy(0, extra, tight.width(), tight.height()), tight);
        EXPECT_FALSE(onlyBackground(tight, tight.rect()));
    }
}

TEST(SimpleImageTest, DrawsInTheTextColorOverTheBackground)
{
    SimpleLook look = lookWithMargins(2, 2, 2, 2, 24);
    look.textColor = QColor(200, 10, 30);
    const QImage image = render("H", look);
    EXPECT_EQ(image.pixelColor(0, 0), kSkyBlue);
    bool textColorFound = false;
    for (int y = 0; y < image.height() && !textColorFound; ++y)
        for (int x = 0; x < image.width() && !textColorFound; ++x)
            textColorFound = image.pixelColor(x, y) == look.textColor;
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
    EXPECT_EQ(colors(render("john.smith@example.com", lookWithMargins(1, 1, 1, 1, 8))), 2);
    EXPECT_GT(colors(render("john.smith@example.com", lookWithMargins(1, 1, 1, 1, 24))), 2);
}

// Measuring has no tab expansion: a tab is neither stretched
// to a tab stop nor dropped but is the glyph the font gives U+0009, for
// Tahoma its missing-glyph box of one em (11 pixels at 8 pt).
TEST(SimpleImageTest, TabIsTheFontsOwnGlyphForIt)
{
    const SimpleLook look = lookWithMargins(1, 2, 1, 1);
    EXPECT_EQ(RenderFont(look.font).checkedAdvance("a\ta"), kAWidth8 + 11 + kAWidth8);
    EXPECT_EQ(RenderFont(look.font).checkedAdvance("\t\t"), 22);
    // Qt draws the same box for a character Tahoma lacks when no other font
    // may stand in for it.
    const QChar missing(0xE000);
    for (const bool decorated : {false, true}) {
        SimpleLook tabbed = look;
        tabbed.font.setUnderline(decorated);
        tabbed.font.setStrikeOut(decorated);
        SimpleLook alone = tabbed;
        alone.font.setStyleStrategy(QFont::NoFontMerging);
        for (const QString& text : {QString("a\ta"), QString("\tx@\t\ty\t"), QString("\t")}) {
            SCOPED_TRACE(text.toStdString() + (decorated ? " underlined and struck out" : ""));
            QString stand = text;
            stand.replace(u'\t', missing);
            const QImage drawn = render(text, tabbed);
            EXPECT_EQ(drawn, render(stand, alone));
            EXPECT_FALSE(onlyBackground(drawn, drawn.rect()));
        }
    }
}

// Lines no image can hold are refused before they are laid out, with the
// true size: neither a wrapped-around width nor a crash.
TEST(SimpleImageTest, LinesTooLongForAnImageAreRefused)
{
    const SimpleLook look = lookWithMargins(1, 1, 1, 1);
    EXPECT_EQ(errorOf(QString(6 * 1024 * 1024, u'a'), look),
              "The line of 6291456 characters is too long for an image (at most 65535 characters)");
    EXPECT_EQ(errorOf(QString(11 * 1024 * 1024, u'a'), look),
              "The line of 11534336 characters is too long for an image (at most 65535 characters)");
    EXPECT_EQ(errorOf(QString(60 * 1000 * 1000, u'@'), look),
              "The line of 60000000 characters is too long for an image (at most 65535 characters)");
    // Within the character limit, a huge font's width is still counted in
    // full and refused by the size limits.
    EXPECT_TRUE(errorOf(QString(60000, u'W'), lookWithMargins(1, 1, 1, 1, 500))
                    .startsWith("The image of "));
    EXPECT_TRUE(errorOf(QString(20000, u'W'), look).contains("is too large"));

    SimpleLook absurdMargin = look;
    absurdMargin.left = 999'999'999;
    EXPECT_TRUE(errorOf("a", absurdMargin).contains(QString::number(1'000'000'000 + kAWidth8))) << errorOf("a", absurdMargin).toStdString();
}

QString encodingErrorOf(SimpleLineEncoder& encoder, const QString& text)
{
    try {
        encoder.encode(text);
    } catch (const AppError& error) {
        return error.message();
    }
    return {};
}

// The encoder draws ordinary lines into a canvas it keeps and grows in steps
// of 256 × 32 pixels: a line is held to the limits by its own size, never by
// the canvas's.
TEST(SimpleImageTest, ALineIsHeldToTheLimitsByItsOwnSize)
{
    const int right = 7;
    const SimpleLook look = lookWithMargins(65535 - 2 * kAWidth8 - right, right, 1, 1);  // 15 pixels high
    SimpleLineEncoder encoder(look, ImageFormat::PNG);
    for (const QString& text : {QString("a"), QString("aa")}) {
        const int width = 65535 - right - 2 * kAWidth8 + int(text.size()) * kAWidth8 + right;
        SCOPED_TRACE(width);
        const EncodedImage encoded = encoder.encode(text);
        EXPECT_EQ(encoded.size, QSize(width, 15));
        const QImage decoded = QImage::fromData(encoded.bytes, "PNG");
        EXPECT_EQ(decoded.size(), QSize(width, 15));
        EXPECT_FALSE(onlyBackground(decoded, QRect(width - right - kAWidth8, 0, kAWidth8, 15)));
    }
    EXPECT_EQ(encodingErrorOf(encoder, "aaa"),
              "The image of 65541 × 15 pixels is too large (at most 65535 pixels a side and 100000000 pixels in all)");
    SimpleLineEncoder fresh(look, ImageFormat::PNG);
    EXPECT_EQ(fresh.encode("aa").size, QSize(65535, 15));
    EXPECT_EQ(renderSimpleImage("a", look, RenderFont(look.font)).size(), QSize(65529, 15));
}

class SimpleRunTest : public testing::IsolatedHomeTest {
protected:
    LineRunOptions optionsInto(const QString& destination, int threads) const
    {
        QDir().mkpath(destination);
        LineRunOptions options;
        options.destination = destination;
        options.threads = threads;
        return options;
    }
};

// The files decode to exactly the image renderSimpleImage draws, also when
// lines of different sizes follow each other in one encoder's canvas.
TEST_F(SimpleRunTest, FilesHoldTheRenderedImages)
{
    SimpleLook look = lookWithMargins(3, 1, 1, 4);
    look.font.setItalic(true);
    const QStringList lines{"short", "a much longer line of text @ example.com", "j", "   ", "Ünïcödé ∑ line"};
    runLines(StringListLineSource(lines), simpleLineEncoders(look, ImageFormat::PNG), optionsInto(scratch(), 1));
    const RenderFont font(look.font);
    for (int i = 0; i < lines.size(); ++i) {
        SCOPED_TRACE(i);
        const QImage file(scratch() + QString("/Output%1.png").arg(i + 1));
        EXPECT_EQ(file.convertToFormat(QImage::Format_RGB32), renderSimpleImage(lines[i], look, font));
    }
}

TEST_F(SimpleRunTest, WorkersWriteTheSameBytesAsOneThread)
{
    QStringList lines;
    for (int i = 0; i < 60; ++i)
        lines.append(i % 7 == 3 ? QString() : QString("user%1.name@example%2.org").arg(i * 37).arg(i % 5));
    const SimpleLook look = lookWithMargins(1, 1, 1, 1);
    for (const int threads : {1, 2})
        runLines(StringListLineSource(lines), simpleLineEncoders(look, ImageFormat::PNG),
                 optionsInto(scratch() + QString("/threads%1").arg(threads), threads));
    const QDir one(scratch() + "/threads1");
    const QStringList names = one.entryList(QDir::Files, QDir::Name);
    ASSERT_EQ(names.size(), 60 - 9);
    EXPECT_EQ(QDir(scratch() + "/threads2").entryList(QDir::Files, QDir::Name), names);
    for (const QString& name : names) {
        QFile first(one.filePath(name));
        QFile second(scratch() + "/threads2/" + name);
        ASSERT_TRUE(first.open(QIODevice::ReadOnly) && second.open(QIODevice::ReadOnly));
        EXPECT_EQ(first.readAll(), second.readAll()) << name.toStdString();
    }
}

} // namespace
} // namespace pennolux
