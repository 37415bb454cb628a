#include <QPainter>
#include <cstdlib>
#include <gtest/gtest.h>

#include "EditorTestSupport.h"
#include "editor/render/TemplateRenderer.h"
#include "editor/render/TextLayerLayout.h"
#include "production/simplerun/TextMetrics.h"

#include <limits>

namespace pennolux {
namespace {

using namespace testing;

const QSize kCanvas(491, 215);
const QColor kPicture(12, 120, 56);
const QColor kFill(250, 200, 0);

QImage render(const Template& content, QSize canvas = kCanvas)
{
    TemplateRenderer renderer;
    return renderer.render(content, canvas);
}

TEST(TemplateRendererTest, ASolidPictureShowsExactlyItsColourOutsideEveryLayer)
{
    // Stretched down, up, and in one direction each: smoothing must not
    // bleed anything in from beyond the picture's edges.
    for (const QSize pictureSize : {QSize(640, 300), QSize(7, 3), QSize(491, 215), QSize(2000, 90)}) {
        Template content = solidTemplate(kPicture, pictureSize);
        addText(content, "Text", {100, 50, 80, 39});
        addShape(content, {300, 120, 65, 65}, kFill);
        const QImage image = render(content);
        ASSERT_EQ(image.size(), kCanvas);
        EXPECT_EQ(image.format(), QImage::Format_RGB32);
        QImage outside = image;
        QPainter painter(&outside);
        painter.fillRect(QRect(100, 50, 80, 39), kPicture);
        painter.fillRect(QRect(300, 120, 65, 65), kPicture);
        painter.end();
        EXPECT_EQ(pixelsOtherThan(outside, outside.rect(), kPicture), 0) << pictureSize.width();
    }
}

TEST(TemplateRendererTest, AShapeIsItsFillInsideABlackOnePixelOutline)
{
    Template content = solidTemplate(kPicture);
    addShape(content, {10, 10, 65, 65}, kFill);
    const QImage image = render(content);
    EXPECT_EQ(pixelsOtherThan(image, QRect(11, 11, 63, 63), kFill), 0);
    for (const QRect& edge : {QRect(10, 10, 65, 1), QRect(10, 74, 65, 1), QRect(10, 10, 1, 65), QRect(74, 10, 1, 65)})
        EXPECT_EQ(pixelsOtherThan(image, edge, Qt::black), 0);
    EXPECT_EQ(image.pixelColor(9, 9), kPicture);
    EXPECT_EQ(image.pixelColor(75, 75), kPicture);
}

TEST(TemplateRendererTest, AShapeTooThinForAnInsideIsAllOutline)
{
    // One or two pixels across leaves no inside: the outline covers it all,
    // as a thin outline of any other shape would, never its fill colour.
    for (const QRect& box : {QRect(10, 10, 1, 40), QRect(10, 10, 40, 1), QRect(10, 10, 1, 1), QRect(10, 10, 2, 40),
                             QRect(10, 10, 40, 2)}) {
        Template content = solidTemplate(kPicture);
        addShape(content, {box.left(), box.top(), box.width(), box.height()}, kFill);
        const QImage image = render(content);
        EXPECT_EQ(pixelsOtherThan(image, box, Qt::black), 0) << box.width() << "x" << box.height();
        EXPECT_EQ(pixelsNear(image, image.rect(), kFill), 0) << box.width() << "x" << box.height();
        EXPECT_EQ(pixelsOtherThan(image, image.rect(), kPicture), box.width() * box.height());
    }
}

TEST(TemplateRendererTest, LayersPartlyOffTheCanvasAreClipped)
{
    Template content = solidTemplate(kPicture);
    addShape(content, {-30, 200, 65, 65}, kFill);
    addShape(content, {480, -20, 65, 65}, kFill);
    const QImage image = render(content);
    // Only the parts on the canvas: the left and bottom outlines are off it.
    EXPECT_EQ(pixelsOtherThan(image, QRect(0, 201, 34, 14), kFill), 0);
    EXPECT_EQ(pixelsOtherThan(image, QRect(0, 200, 35, 1), Qt::black), 0);
    EXPECT_EQ(pixelsOtherThan(image, QRect(34, 200, 1, 15), Qt::black), 0);
    EXPECT_EQ(pixelsOtherThan(image, QRect(480, 0, 1, 45), Qt::black), 0);
    EXPECT_EQ(pixelsOtherThan(image, QRect(481, 0, 10, 44), kFill), 0);
    EXPECT_EQ(pixelsOtherThan(image, QRect(35, 0, 445, 215), kPicture), 0);
}

TEST(TemplateRendererTest, TextIsClippedToItsBox)
{
    Template content = solidTemplate(kPicture);
    addText(content, "WWWWWWWW", {20, 20, 30, 10});
    const QImage image = render(content);
    EXPECT_GT(pixelsOtherThan(image, QRect(20, 20, 30, 10), kPicture), 0);
    QImage outside = image;
    QPainter(&outside).fillRect(QRect(20, 20, 30, 10), kPicture);
    EXPECT_EQ(pixelsOtherThan(outside, outside.rect(), kPicture), 0);
}

TEST(TemplateRendererTest, LaterLayersCoverEarlierOnesAndFrontChangesThat)
{
    Template content = solidTemplate(kPicture);
    const LayerRef red = addShape(content, {10, 10, 50, 50}, Qt::red);
    addShape(content, {30, 30, 50, 50}, Qt::blue);
    EXPECT_EQ(render(content).pixelColor(40, 40), QColor(Qt::blue));
    std::erase(content.stacking, red);
    content.stacking.push_back(red);
    EXPECT_EQ(render(content).pixelColor(40, 40), QColor(Qt::red));
}

// Ink of a line drawn alone, for comparing what a layer draws.
QImage inkOf(const QString& text)
{
    Template content = solidTemplate(Qt::white);
    addText(content, text, {0, 0, 400, 39});
    return render(content, QSize(400, 39));
}

TEST(TemplateRendererTest, AnAmpersandIsDrawnAsACharacter)
{
    // As a mnemonic marker it would draw nothing, or underline the "x".
    EXPECT_GT(pixelsOtherThan(inkOf("&"), QRect(0, 0, 400, 39), Qt::white), 20);
    const QImage pair = inkOf("&&");
    const QImage single = inkOf("&");
    EXPECT_NE(pair, single);
    EXPECT_EQ(pixelsOtherThan(pair, QRect(0, 0, 400, 39), Qt::white),
              2 * pixelsOtherThan(single, QRect(0, 0, 400, 39), Qt::white));
    EXPECT_NE(inkOf("Tom & Jerry"), inkOf("Tom  Jerry"));
}

// A tab in a layer is the font's own glyph for it, as in the Simple run, and
// a centred line is centred by that glyph's ink too: the same image as a
// character the font lacks, drawn with no other font standing in.
TEST(TemplateRendererTest, ATabIsTheFontsOwnGlyphForIt)
{
    const QChar missing(0xE000);
    for (const HorizontalAlignment horizontal : {HorizontalAlignment::Left, HorizontalAlignment::Centre}) {
        SCOPED_TRACE(int(horizontal));
        Template tabbed = solidTemplate(Qt::white);
        addText(tabbed, "\tI\tJ", {5, 5, 300, 60});
        tabbed.TextLayers[0]->alignment.horizontal = horizontal;
        Template stand = tabbed;
        stand.TextLayers[0]->text = QString("\tI\tJ").replace(u'\t', missing);
        stand.TextLayers[0]->font.font.setStyleStrategy(QFont::NoFontMerging);
        EXPECT_TRUE(samePixels(render(tabbed), render(stand)));
    }
    RenderFontCache fonts;
    const RenderFont& font = fonts.fontFor(layerFont().font);
    EXPECT_EQ(textLayerExtent("I\tI", font).width(), 2 * font.checkedAdvance("I") + font.checkedAdvance("\t"));
    EXPECT_LT(font.checkedAdvance("\t"), 80);
}

TEST(TemplateRendererTest, LinesStackByTheCellHeight)
{
    Template content = solidTemplate(Qt::white);
    addText(content, "I\r\n\nI", {0, 0, 50, 3 * 39});
    const QImage image = render(content, QSize(50, 3 * 39));
    EXPECT_GT(pixelsOtherThan(image, QRect(0, 0, 50, 39), Qt::white), 0);
    EXPECT_EQ(pixelsOtherThan(image, QRect(0, 39, 50, 39), Qt::white), 0);
    EXPECT_GT(pixelsOtherThan(image, QRect(0, 78, 50, 39), Qt::white), 0);
    EXPECT_EQ(textLayerLines("a\r\nb\rc\nd"), (QStringList{"a", "b", "c", "d"}));
}

TextLayer alignedLayer(const QString& text, const LayerBox& box, HorizontalAlignment horizontal,
                       VerticalAlignment vertical, bool shrink = false)
{
    return TextLayer{text, layerFont(), box, {horizontal, vertical, shrink}};
}

TEST(TemplateRendererTest, AlignedLinesSitInTheirBoxEachLineOnItsOwn)
{
    RenderFontCache fonts;
    const RenderFont& font = fonts.fontFor(layerFont().font);
    const LayerBox box{10, 20, 400, 150};
    const std::int64_t wide = font.checkedAdvance("a wider line");
    const std::int64_t narrow = font.checkedAdvance("short");
    // A centred line is centred by its ink.
    const QFontMetrics metrics(font.font());
    const QRect wideInk = metrics.tightBoundingRect("a wider line");
    const QRect narrowInk = metrics.tightBoundingRect("short");
    struct Case {
        HorizontalAlignment horizontal;
        VerticalAlignment vertical;
        std::int64_t wideLeft, narrowLeft, top;
    };
    const Case cases[] = {
        {HorizontalAlignment::Left, VerticalAlignment::Top, 10, 10, 20},
        {HorizontalAlignment::Centre, VerticalAlignment::Middle, 10 + (400 - wideInk.width()) / 2 - wideInk.left(),
         10 + (400 - narrowInk.width()) / 2 - narrowInk.left(), 20 + (150 - 78) / 2},
        {HorizontalAlignment::Right, VerticalAlignment::Bottom, 410 - wide, 410 - narrow, 170 - 78},
    };
    for (const Case& c : cases) {
        const TextLayerPlacement placement =
            placeTextLayer(alignedLayer("a wider line\r\nshort", box, c.horizontal, c.vertical), fonts, kCanvas);
        ASSERT_EQ(placement.lines.size(), 2u);
        EXPECT_EQ(placement.lines[0].left, c.wideLeft);
        EXPECT_EQ(placement.lines[1].left, c.narrowLeft);
        EXPECT_EQ(placement.lines[0].top, c.top);
        EXPECT_EQ(placement.lines[1].top, c.top + 39);
        EXPECT_TRUE(placement.whole);
    }
}

// The ink of a centred line has equal margins in its box, and a line too
// wide for its box is drawn smaller, whole, at the largest size that fits.
TEST(TemplateRendererTest, ShrinkToFitDrawsALongLineWholeAndCentred)
{
    for (const QString& text : {QString("a@b.cd"), QString("clara+news@long-domain-name.example.com")}) {
        Template content = solidTemplate(Qt::white);
        content.TextLayers[0] = alignedLayer(text, {10, 0, 280, 60}, HorizontalAlignment::Centre,
                                             VerticalAlignment::Middle, true);
        content.stacking = {LayerRef::text(1)};
        const QImage image = render(content, QSize(300, 60));
        const QRect ink = inkBounds(image, Qt::white);
        ASSERT_FALSE(ink.isNull());
        // Inside the box, so nothing of it is clipped.
        EXPECT_GE(ink.left(), 10) << text.toStdString();
        EXPECT_LE(ink.right(), 289) << text.toStdString();
        EXPECT_LE(std::abs(ink.left() - (299 - ink.right())), 1) << text.toStdString();
    }
    const LayerBox box{0, 0, 300, 60};

    RenderFontCache fonts;
    const QString longLine = "clara+news@long-domain-name.example.com";
    const TextLayerPlacement shrunk = placeTextLayer(
        alignedLayer(longLine, box, HorizontalAlignment::Left, VerticalAlignment::Top, true), fonts, kCanvas);
    const int pixels = shrunk.font.pixelSize();
    EXPECT_LT(pixels, 32);
    EXPECT_LE(shrunk.lines[0].advance, 300);
    EXPECT_TRUE(shrunk.whole);
    QFont larger = shrunk.font;
    larger.setPixelSize(pixels + 1);
    EXPECT_GT(fonts.fontFor(larger).checkedAdvance(longLine), 300);
    // A line that fits keeps the layer's own font.
    const TextLayerPlacement fitting = placeTextLayer(
        alignedLayer("a@b.cd", box, HorizontalAlignment::Left, VerticalAlignment::Top, true), fonts, kCanvas);
    EXPECT_EQ(fitting.font, layerFont().font);
}

TEST(TemplateRendererTest, BelowTheFloorALineIsDrawnAtTheFloorAndIsNotWhole)
{
    RenderFontCache fonts;
    const TextLayerPlacement placement =
        placeTextLayer(alignedLayer(QString(400, u'W'), {0, 0, 100, 39}, HorizontalAlignment::Left,
                                    VerticalAlignment::Top, true),
                       fonts, kCanvas);
    EXPECT_EQ(placement.font.pixelSize(), kSmallestShrunkPixels);
    EXPECT_FALSE(placement.whole);
}

// Whole: every line's cell lies in the box and on the canvas.
TEST(TemplateRendererTest, ALineIsWholeOnlyInsideItsBoxAndTheCanvas)
{
    RenderFontCache fonts;
    const RenderFont& font = fonts.fontFor(layerFont().font);
    const int width = int(font.checkedAdvance("Text"));
    struct Case {
        const char* name;
        TextLayer layer;
        bool whole;
    };
    const Case cases[] = {
        {"fitting", TextLayer{"Text", layerFont(), {10, 10, width, 39}, {}}, true},
        {"off the right edge", TextLayer{"Text", layerFont(), {491 - width + 1, 10, width, 39}, {}}, false},
        {"above the canvas", TextLayer{"Text", layerFont(), {10, -1, width, 39}, {}}, false},
        {"all off the canvas", TextLayer{"Text", layerFont(), {10, 300, width, 39}, {}}, false},
        {"cut by its box", TextLayer{"Text", layerFont(), {10, 10, width - 1, 39}, {}}, false},
        {"centred wider than its box",
         alignedLayer("Text", {10, 10, width - 2, 39}, HorizontalAlignment::Centre, VerticalAlignment::Top), false},
        {"an empty line off the canvas", TextLayer{"Text\r\n", layerFont(), {10, 176, width, 78}, {}}, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(placeTextLayer(c.layer, fonts, kCanvas).whole, c.whole) << c.name;
}

TEST(TemplateRendererTest, ATransparentPictureShowsTheCanvasColourThrough)
{
    Template content = solidTemplate(Qt::white);
    content.background = QImage(QSize(4, 4), QImage::Format_ARGB32_Premultiplied);
    content.background.fill(Qt::transparent);
    content.canvasColor = ColorValue::fromRgb(QColor(1, 2, 3));
    EXPECT_EQ(pixelsOtherThan(render(content), QRect(QPoint(0, 0), kCanvas), QColor(1, 2, 3)), 0);
}

TEST(TemplateRendererTest, ThePictureIsStretchedOverTheWholeCanvas)
{
    Template content = solidTemplate(Qt::white, QSize(2, 1));
    content.background.setPixelColor(0, 0, Qt::red);
    content.background.setPixelColor(1, 0, Qt::blue);
    const QImage image = render(content, QSize(100, 50));
    EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(0, 49), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(99, 25), QColor(Qt::blue));
}

TEST(TemplateRendererTest, GlyphsBeyondQtsReachDoNotWrapOntoTheCanvas)
{
    // Qt places glyphs in 26.6 fixed point: 2^26 pixels along a line wraps
    // to 0. A "W" placed there must not appear at the box's left.
    QFont huge = layerFont().font;
    huge.setPixelSize(4000);
    const QString spaces(60000, u' ');
    const std::int64_t wrap = std::int64_t(1) << 26;
    const std::int64_t advance = RenderFont(huge).checkedAdvance(spaces);
    ASSERT_GT(advance, wrap);
    Template content = solidTemplate(Qt::white);
    addText(content, spaces + "W", {int(wrap + 50 - advance), -1500, std::numeric_limits<int>::max() / 2, 5000});
    content.TextLayers[0]->font.font = huge;
    EXPECT_EQ(pixelsOtherThan(render(content, QSize(200, 200)), QRect(0, 0, 200, 200), Qt::white), 0);
}

} // namespace
} // namespace pennolux
