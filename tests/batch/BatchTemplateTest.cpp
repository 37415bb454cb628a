#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <gtest/gtest.h>

#include "BatchToolFixture.h"
#include "batch/BatchOptions.h"

namespace pennolux {
namespace {

QByteArray pictureFile()
{
    QImage picture(60, 40, QImage::Format_RGB32);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 60; ++x)
            picture.setPixel(x, y, qRgb(x * 4, y * 6, 120));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "png").write(picture);
    return bytes;
}

// A template with its own picture, Text 1 under a shape, and Text 2.
QByteArray templateText(bool withTextOne = true)
{
    const QByteArray textOne = R"(
    { "type": "text", "number": 1, "left": 20, "top": 60, "width": 62, "height": 39,
      "text": "Text",
      "font": { "family": "Tahoma", "size": 24, "bold": false, "italic": false,
                "underline": false, "strikeout": false, "color": "#000000" } },)";
    return R"({
  "pennolux-template": 1,
  "canvas": { "width": 320, "height": 140 },
  "background": { "name": "picture.png", "data": ")" +
           pictureFile().toBase64() + R"(" },
  "layers": [)" + (withTextOne ? textOne : QByteArray()) + R"(
    { "type": "shape", "number": 1, "left": 250, "top": 50, "width": 40, "height": 80, "fill": "#FFFF00" },
    { "type": "text", "number": 2, "left": 5, "top": 5, "width": 50, "height": 20,
      "text": "fixed",
      "font": { "family": "Tahoma", "size": 10, "bold": true, "italic": false,
                "underline": false, "strikeout": false, "color": "clWindowText" } }
  ]
}
)";
}

class BatchTemplateTest : public BatchToolFixture {
protected:
    void SetUp() override
    {
        IsolatedHomeTest::SetUp();
        templatePath = writeScratchFile("badge.pnxt", templateText());
        listPath = writeScratchFile("list.txt", "first@example.com\r\n\r\nlast.one@example.org\r\n");
    }

    QString templatePath;
    QString listPath;
};

TEST_F(BatchTemplateTest, EachLineBecomesTheTemplatesCanvasWithTheLineInTextOne)
{
    const QString out = makeFolder("out");
    const ToolRun run = runTool({"-q", "--template", templatePath, "-o", out, listPath});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, "Saved 2 image file(s)\n");
    // The longer address runs past the canvas's right edge.
    EXPECT_EQ(run.err, "pennolux-batch: warning: 1 line runs off the image: line 3\n");
    EXPECT_EQ(QDir(out).entryList(QDir::Files, QDir::Name), (QStringList{"Output1.png", "Output3.png"}));
    const QImage first(out + "/Output1.png");
    const QImage last(out + "/Output3.png");
    EXPECT_EQ(first.size(), QSize(320, 140));
    // The picture stretched over the canvas, the shape, and the lines differing only where Text 1 is.
    EXPECT_EQ(first.pixelColor(270, 90), QColor(Qt::yellow));
    EXPECT_NE(first.pixelColor(300, 5), first.pixelColor(310, 135));
    int differing = 0;
    for (int y = 0; y < 140; ++y)
        for (int x = 0; x < 320; ++x)
            if (first.pixel(x, y) != last.pixel(x, y)) {
                ++differing;
                EXPECT_TRUE(y >= 60 && y < 99) << x << "," << y;
            }
    EXPECT_GT(differing, 100);
}

TEST_F(BatchTemplateTest, CanvasFormatsAndStandardInputWorkAsInTheSimpleMode)
{
    const QString large = makeFolder("large");
    EXPECT_EQ(runTool({"-q", "--template", templatePath, "--canvas", "640x280", "-o", large, listPath}).exitCode, 0);
    EXPECT_EQ(QImage(large + "/Output3.png").size(), QSize(640, 280));
    const QString jpeg = makeFolder("jpeg");
    const ToolRun piped = runTool({"-q", "-f", "jpeg", "--template=" + templatePath, "-o", jpeg}, "one\ntwo\n");
    EXPECT_EQ(piped.out, "Saved 2 image file(s)\n");
    EXPECT_EQ(QImage(jpeg + "/Output2.jpg").size(), QSize(320, 140));
    // A canvas the format cannot hold stops at the first line, naming why.
    const ToolRun wide = runTool({"-q", "-f", "webp", "--template", templatePath, "--canvas", "17000x20", "-o",
                                  makeFolder("webp"), listPath});
    EXPECT_EQ(wide.exitCode, 1);
    EXPECT_TRUE(wide.err.contains("Line 1")) << wide.err.toStdString();
}

TEST_F(BatchTemplateTest, WithoutTextOneEveryLineGivesTheSameFile)
{
    const QString withoutTextOne = writeScratchFile("fixed.pnxt", templateText(false));
    const QString out = makeFolder("out");
    EXPECT_EQ(runTool({"-q", "--template", withoutTextOne, "-o", out, listPath}).exitCode, 0);
    QFile first(out + "/Output1.png");
    QFile last(out + "/Output3.png");
    ASSERT_TRUE(first.open(QIODevice::ReadOnly) && last.open(QIODevice::ReadOnly));
    EXPECT_EQ(first.readAll(), last.readAll());
}

TEST_F(BatchTemplateTest, ATemplateThatCannotBeUsedIsNamedAndNothingIsWritten)
{
    const QString broken = writeScratchFile("broken.pnxt", QByteArray(templateText()).replace("\"number\": 2", "\"number\": 200"));
    const QString out = makeFolder("out");
    const ToolRun run = runTool({"-q", "--template", broken, "-o", out, listPath});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.startsWith("Cannot open the template \"" + broken + "\": layer 3: \"number\""))
        << run.err.toStdString();
    EXPECT_TRUE(QDir(out).isEmpty());
    const ToolRun missing = runTool({"-q", "--template", scratch() + "/none.pnxt", "-o", out, listPath});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.err.contains("none.pnxt")) << missing.err.toStdString();
}

// A family name from a template is outside text: its escape codes are shown
// escaped, never sent to the terminal.
TEST_F(BatchTemplateTest, AMissingFamilysEscapeCodesAreShownEscaped)
{
    const QString path =
        writeScratchFile("coloured.pnxt", templateText().replace("\"Tahoma\"", "\"Gone\\u001b[31m\\u2028Face\""));
    const ToolRun run = runTool({"-q", "--template", path, "-o", makeFolder("out"), listPath});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_FALSE(run.err.contains(QChar(0x1b))) << run.err.toStdString();
    EXPECT_TRUE(run.err.startsWith("pennolux-batch: warning: there is no font family \"Gone\\x1B[31m\\u2028Face\""))
        << run.err.toStdString();
}

TEST_F(BatchTemplateTest, SimpleOnlyOptionsWithATemplateAreACommandLineError)
{
    const ToolRun run = runTool({"--template", templatePath, "--font", "Tahoma", "--bold", listPath});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.startsWith("pennolux-batch: --font, --bold cannot be used with --template: they are the "
                                   "Simple mode's"))
        << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("Try \"pennolux-batch --help\""));
    EXPECT_TRUE(QDir(scratch()).entryList({"Output*"}, QDir::Files).isEmpty());
}

TEST(BatchTemplateOptionsTest, ReadsTheTemplateAndItsCanvas)
{
    const BatchOptions options = parseBatchOptions({"--template", "badge.pnxt", "--canvas", "982x430", "-f", "gif"});
    EXPECT_TRUE(options.runsTemplate());
    EXPECT_EQ(options.templatePath, "badge.pnxt");
    EXPECT_EQ(options.canvas, QSize(982, 430));
    EXPECT_EQ(parseBatchOptions({"--template=b.pnxt", "--canvas=5X7"}).canvas, QSize(5, 7));
    EXPECT_FALSE(parseBatchOptions({"--template", "b.pnxt"}).canvas.isValid());
    EXPECT_FALSE(parseBatchOptions({}).runsTemplate());
}

TEST(BatchTemplateOptionsTest, RefusesWhatItCannotFollowSayingWhy)
{
    const std::vector<std::pair<QStringList, const char*>> refused = {
        {{"--canvas", "100x100"}, "--canvas needs --template"},
        {{"--template", "a.pnxt", "--template", "b.pnxt"}, "the template may be given only once"},
        {{"--template", ""}, "--template needs a file name"},
        {{"--template"}, "option --template needs a value"},
        {{"--template", "a.pnxt", "--canvas", "wide"}, "is not WIDTHxHEIGHT"},
        {{"--template", "a.pnxt", "--canvas", "0x10"}, "has no pixels"},
        {{"--template", "a.pnxt", "--canvas", "70000x10"}, "--canvas: "},
        {{"--template", "a.pnxt", "--canvas", "20000x20000"}, "--canvas: "},
        {{"--template", "a.pnxt", "--margins", "1,1,1,1"}, "--margins cannot be used with --template: it is"},
        {{"--background", "clRed", "--template", "a.pnxt"}, "--background cannot be used with --template"},
    };
    for (const auto& [arguments, reason] : refused) {
        try {
            parseBatchOptions(arguments);
            ADD_FAILURE() << "accepted " << arguments.join(' ').toStdString();
        } catch (const BatchUsageError& error) {
            EXPECT_TRUE(QString::fromUtf8(error.what()).contains(QString::fromUtf8(reason)))
                << arguments.join(' ').toStdString() << ": " << error.what();
        }
    }
    // Help and version need nothing else to be right.
    EXPECT_TRUE(parseBatchOptions({"--template", "a.pnxt", "--font", "x", "--help"}).showHelp);
}

} // namespace
} // namespace pennolux
