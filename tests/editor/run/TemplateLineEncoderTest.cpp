#include <QDir>
#include <QPalette>
#include <gtest/gtest.h>

#include "EditorTestSupport.h"
#include "IsolatedHomeTest.h"
#include "editor/render/TemplateRenderer.h"
#include "editor/run/TemplateLineEncoder.h"
#include "platform/AppError.h"
#include "production/linerun/LineRun.h"
#include "production/textlist/ListLines.h"

namespace pennolux {
namespace {

using namespace testing;

const QSize kCanvas(491, 215);
const QColor kPicture(12, 120, 56);

class TemplateRunTest : public IsolatedHomeTest, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override
    {
        IsolatedHomeTest::SetUp();
        destination = scratch() + "/out";
        QDir().mkpath(destination);
        content = solidTemplate(kPicture);
        addText(content, "Text", {214, 88, 62, 39});
        addShape(content, {-20, 150, 65, 65}, Qt::white);
    }

    LineRunResult run(const QStringList& lines, ImageFormat format = ImageFormat::PNG)
    {
        LineRunOptions options;
        options.destination = destination;
        options.format = format;
        options.threads = GetParam();
        return runLines(StringListLineSource(lines), templateLineEncoders(content, kCanvas, format), options);
    }
    QImage output(int number) const { return QImage(destination + QStringLiteral("/Output%1.png").arg(number)); }
    // What the canvas shows with the line in Text 1.
    QImage canvasWith(const QString& line)
    {
        TemplateRenderer renderer;
        return renderer.render(withLine(content, line, renderer.fonts()), kCanvas);
    }

    QString destination;
    Template content;
};

TEST_P(TemplateRunTest, EachNonEmptyLineIsTheCanvasWithTheLineInTextOne)
{
    const LineRunResult result = run({"first@example.com", "", "Tom & Jerry"});
    EXPECT_EQ(result.made, 2);
    EXPECT_EQ(result.linesSeen, 3);
    EXPECT_EQ(QDir(destination).entryList(QDir::Files, QDir::Name), (QStringList{"Output1.png", "Output3.png"}));
    for (const auto& [number, line] : {std::pair{1, QString("first@example.com")}, std::pair{3, QString("Tom & Jerry")}}) {
        const QImage image = output(number);
        EXPECT_EQ(image.size(), kCanvas);
        EXPECT_TRUE(samePixels(image, canvasWith(line))) << number;
    }
    EXPECT_FALSE(samePixels(output(1), output(3)));
    // Text 1 grew to the line and kept its place.
    RenderFontCache fonts;
    const Template filled = withLine(content, "first@example.com", fonts);
    EXPECT_EQ(filled.textLayer(1)->box.left, 214);
    EXPECT_EQ(filled.textLayer(1)->box.width,
              int(fonts.fontFor(layerFont().font).checkedAdvance("first@example.com")));
}

TEST_P(TemplateRunTest, WithoutTextOneEveryImageIsTheUnchangedCanvas)
{
    // Text 1 deleted; Text 2 never receives the lines.
    content.TextLayers[1] = TextLayer{"Other", layerFont(), {10, 10, 100, 39}, {}};
    content.stacking.push_back(LayerRef::text(2));
    content.TextLayers[0].reset();
    std::erase(content.stacking, LayerRef::text(1));
    run({"one", "two"});
    TemplateRenderer renderer;
    const QImage unchanged = renderer.render(content, kCanvas);
    EXPECT_TRUE(samePixels(output(1), unchanged));
    EXPECT_TRUE(samePixels(output(2), unchanged));
}

TEST_P(TemplateRunTest, LayersAboveTextOneCoverTheLine)
{
    addShape(content, {200, 80, 100, 60}, Qt::yellow);
    run({"WWWWWWWWWWWWWWW"});
    EXPECT_EQ(pixelsOtherThan(output(1), QRect(201, 81, 98, 58), Qt::yellow), 0);
}

// Only Text 1's rows are drawn and compressed again for a line; layers above
// it that reach into those rows and beyond, a line of two text lines that
// takes more rows, and one after it that takes fewer again, all give the
// canvas exactly, in PNG and in a format encoded whole.
TEST_P(TemplateRunTest, EveryImageIsTheWholeCanvasWhateverRowsTheLineTakes)
{
    addText(content, "Above\r\nthe line", {200, 70, 180, 78}, Qt::red);
    addShape(content, {100, 95, 30, 100}, Qt::blue);
    const QStringList lines{"first@example.com", "two\rlines", "W", QString(40, u'g'), "last"};
    for (const ImageFormat format : {ImageFormat::PNG, ImageFormat::BMP}) {
        QDir(destination).removeRecursively();
        QDir().mkpath(destination);
        run(lines, format);
        for (int number = 1; number <= lines.size(); ++number) {
            const QImage image(destination + QStringLiteral("/Output%1.%2").arg(number).arg(
                                                  format == ImageFormat::PNG ? "png" : "bmp"));
            EXPECT_TRUE(samePixels(image, canvasWith(lines[number - 1]))) << number;
        }
    }
}

// Tab-separated fields into Text 1 near the top and Text 3 near the bottom
// (no Text 2: the second field goes nowhere) make two bands far apart, the
// rows between them, a shape across both among them, kept from the plan. A
// field of two text lines in either layer, a missing or empty field and an
// extra one all give the canvas exactly, in PNG and in a format encoded whole.
TEST_P(TemplateRunTest, FieldsFarApartGiveTheCanvasOfEachLine)
{
    content.fields.format = FieldFormat::TabSeparated;
    content.TextLayers[0]->box.top = 2;
    addText(content, "Second", {0, 60, 50, 39});
    addText(content, "Third", {30, 170, 62, 39}, Qt::red);
    addShape(content, {150, 20, 40, 180}, Qt::blue);
    content.TextLayers[1].reset();
    std::erase(content.stacking, LayerRef::text(2));
    const TemplateRunPlan plan(withResolvedColors(content), kCanvas, ImageFormat::PNG);
    ASSERT_EQ(plan.bands(), (std::vector<RowBand>{{2, 41}, {170, 209}}));

    const QStringList lines{"Anna Keller\tAcme\tanna@acme.example",
                            "Bob\t\tbob@example.com",
                            "Carl only",
                            "two\rlines\tx\tthird",
                            "first\tx\tthird\rtwo lines",
                            "\tno first\tWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW",
                            "a\tb\tc\textra",
                            "last\tx\tthird"};
    for (const ImageFormat format : {ImageFormat::PNG, ImageFormat::BMP}) {
        QDir(destination).removeRecursively();
        QDir().mkpath(destination);
        const LineRunResult result = run(lines, format);
        EXPECT_EQ(result.made, lines.size());
        for (int number = 1; number <= lines.size(); ++number) {
            const QImage image(destination + QStringLiteral("/Output%1.%2").arg(number).arg(
                                                  format == ImageFormat::PNG ? "png" : "bmp"));
            EXPECT_TRUE(samePixels(image, canvasWith(lines[number - 1]))) << number;
        }
    }
    EXPECT_FALSE(samePixels(QImage(destination + "/Output1.bmp"), QImage(destination + "/Output8.bmp")));
}

// A band whose texts an earlier line had is not compressed again: lines
// sharing a field with earlier ones, in either band or both, a field shared
// after a line that took the whole canvas, and more distinct texts than are
// kept, all give the canvas exactly.
TEST_P(TemplateRunTest, FieldsThatLinesShareGiveTheCanvasOfEachLine)
{
    content.fields.format = FieldFormat::TabSeparated;
    content.TextLayers[0]->box.top = 2;
    addText(content, "Company", {30, 170, 62, 39}, Qt::red);
    QStringList lines{"Anna\tAcme", "Bob\tAcme", "Anna\tBlue Harbour", "Anna\tAcme", "two\rlines\tAcme",
                      "Carl\tAcme", "Carl", "\tAcme"};
    for (int i = 0; i < 40; ++i)
        lines << QStringLiteral("Name %1\tCompany %2").arg(i % 3).arg(i % 20);
    lines << "Anna\tAcme";
    run(lines);
    for (int number = 1; number <= lines.size(); ++number)
        EXPECT_TRUE(samePixels(output(number), canvasWith(lines[number - 1]))) << number;
}

// Each field layer keeps the rows of its own one-line box; boxes that overlap
// or touch share one band.
TEST(TemplateRunPlan, EachFieldLayerHasItsBandThoseThatMeetAreOne)
{
    struct Case {
        int secondTop;
        std::vector<RowBand> bands;
    };
    for (const Case& each : {Case{170, {{88, 127}, {170, 209}}}, Case{10, {{10, 49}, {88, 127}}},
                             Case{127, {{88, 166}}}, Case{100, {{88, 139}}}, Case{-100, {{88, 127}}},
                             Case{200, {{88, 127}, {200, 215}}}}) {
        SCOPED_TRACE(each.secondTop);
        Template content = solidTemplate(kPicture);
        content.fields.format = FieldFormat::TabSeparated;
        addText(content, "Text", {214, 88, 62, 39});
        addText(content, "Second", {0, each.secondTop, 62, 39});
        const TemplateRunPlan plan(withResolvedColors(content), kCanvas, ImageFormat::PNG);
        EXPECT_EQ(plan.bands(), each.bands);
        ASSERT_TRUE(plan.pngBand());
        EXPECT_EQ(plan.pngBand()->bands(), each.bands);
    }
}

TEST_P(TemplateRunTest, ALongLineRunsOffTheRightEdge)
{
    run({QString(5000, u'x')});
    const QImage image = output(1);
    EXPECT_EQ(image.size(), kCanvas);
    EXPECT_GT(pixelsOtherThan(image, QRect(480, 88, 11, 39), kPicture), 0);
}

TEST_P(TemplateRunTest, ALineTooLongStopsTheRunNamingIt)
{
    try {
        run({"fine", QString(70000, u'y'), "never"});
        FAIL() << "no error";
    } catch (const AppError& error) {
        EXPECT_TRUE(error.message().startsWith("Line 2 (\"yyyy")) << error.message().toStdString();
        EXPECT_TRUE(error.message().contains("too long")) << error.message().toStdString();
    }
    EXPECT_EQ(QDir(destination).entryList(QDir::Files), QStringList{"Output1.png"});
}

TEST_P(TemplateRunTest, AFormatThatCannotHoldTheCanvasIsNamed)
{
    LineRunOptions options;
    options.destination = destination;
    options.format = ImageFormat::WEBP;
    options.threads = GetParam();
    EXPECT_THROW(runLines(StringListLineSource(QStringList{"x"}), templateLineEncoders(content, QSize(17000, 10), options.format),
                          options),
                 AppError);
}

INSTANTIATE_TEST_SUITE_P(Threads, TemplateRunTest, ::testing::Values(1, 3));

TEST(TemplateLineEncoderTest, SystemColoursAreResolvedBeforeTheWorkersDraw)
{
    Template content = solidTemplate(kPicture);
    addText(content, "Text", {0, 0, 62, 39});
    content.TextLayers[0]->font.color = colors::clWindowText;
    const Template resolved = withResolvedColors(content);
    EXPECT_EQ(resolved.textLayer(1)->font.color, colors::clBlack);
    EXPECT_FALSE(resolved.canvasColor.isSystemColor());
}

} // namespace
} // namespace pennolux
