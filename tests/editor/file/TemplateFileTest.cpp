#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <QPalette>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include <functional>
#include <thread>

#include "EditorTestSupport.h"
#include "IsolatedHomeTest.h"
#include "platform/fonts/DesignFont.h"
#include "editor/background/BackgroundPicture.h"
#include "editor/file/TemplateFile.h"
#include "editor/render/TemplateRenderer.h"
#include "platform/AppError.h"

namespace pennolux {
namespace {

using namespace testing;

const QSize kCanvas(491, 215);

// The example of the documented format, byte for byte.
const QByteArray kExample = R"({
  "pennolux-template": 1,
  "canvas": { "width": 491, "height": 215 },
  "background": null,
  "layers": [
    { "type": "text", "number": 1, "left": 195, "top": 88, "width": 100, "height": 39,
      "text": "Text",
      "font": { "family": "Tahoma", "size": 24, "bold": false, "italic": false,
                "underline": false, "strikeout": false, "color": "clWindowText" } },
    { "type": "shape", "number": 1, "left": 10, "top": 10, "width": 65, "height": 65,
      "fill": "#FFFFFF" }
  ]
}
)";

TemplateDocument exampleDocument()
{
    TemplateDocument document;
    document.canvas = kCanvas;
    document.content.background = defaultBackground();
    document.content.TextLayers[0] = TextLayer{"Text", {designFont(24), colors::clWindowText}, {195, 88, 100, 39}, {}};
    document.content.ShapeLayers[0] = ShapeLayer{colors::clWhite, {10, 10, 65, 65}};
    document.content.stacking = {LayerRef::text(1), LayerRef::shape(1)};
    return document;
}

QByteArray pngBytes(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "png").write(image);
    return bytes;
}

// A template of every kind of value: a picture of its own, texts with line
// breaks, quotes and letters beyond ASCII, colours by name and by value,
// layers off the canvas, a gap in the numbers.
TemplateDocument richDocument()
{
    TemplateDocument document;
    document.canvas = QSize(300, 120);
    QImage picture(64, 32, QImage::Format_RGB32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 64; ++x)
            picture.setPixel(x, y, qRgb(x * 4, y * 8, 90));
    document.content.backgroundBytes = pngBytes(picture);
    document.content.background = decodeBackgroundBytes("photo.png", document.content.backgroundBytes);
    document.content.backgroundSource = "photo.png";
    QFont italic = designFont(13);
    italic.setItalic(true);
    italic.setUnderline(true);
    document.content.TextLayers[0] = TextLayer{"Text", {designFont(24), colors::clWindowText}, {20, 30, 62, 39}, {}};
    document.content.TextLayers[6] =
        TextLayer{"Zoë said \"hi\"\r\nback\\slash\r\n", {italic, ColorValue::fromRgb(QColor(0x12, 0x34, 0x56))},
                  {-40, 90, 500, 66}, {}};
    document.content.ShapeLayers[2] = ShapeLayer{colors::clSkyBlue, {250, -5, 80, 30}};
    document.content.stacking = {LayerRef::shape(3), LayerRef::text(7), LayerRef::text(1)};
    return document;
}

QImage rendered(const TemplateDocument& document)
{
    TemplateRenderer renderer;
    return renderer.render(withResolvedColors(document.content), document.canvas);
}

class TemplateFileTest : public IsolatedHomeTest {
protected:
    QString path(const QString& name = "template.pnxt") const { return scratch() + "/" + name; }
};

TEST_F(TemplateFileTest, WritesTheDocumentedFormExactly)
{
    EXPECT_EQ(templateFileText(exampleDocument()).toStdString(), kExample.toStdString());
    const TemplateDocument read = parseTemplateFile(kExample, "example.pnxt");
    EXPECT_EQ(read.canvas, kCanvas);
    EXPECT_TRUE(samePixels(read.content.background, defaultBackground()));
    EXPECT_EQ(read.content.TextLayers, exampleDocument().content.TextLayers);
    EXPECT_EQ(read.content.ShapeLayers, exampleDocument().content.ShapeLayers);
    EXPECT_EQ(read.content.stacking, exampleDocument().content.stacking);
}

TEST_F(TemplateFileTest, SavingAndOpeningGivesTheSameTemplateAndTheSameImage)
{
    const TemplateDocument saved = richDocument();
    writeTemplateFile(path(), saved);
    const TemplateDocument opened = readTemplateFile(path());

    EXPECT_EQ(opened.canvas, saved.canvas);
    EXPECT_EQ(opened.content.TextLayers, saved.content.TextLayers);
    EXPECT_EQ(opened.content.ShapeLayers, saved.content.ShapeLayers);
    EXPECT_EQ(opened.content.stacking, saved.content.stacking);
    EXPECT_EQ(opened.content.backgroundSource, "photo.png");
    EXPECT_EQ(opened.content.backgroundBytes, saved.content.backgroundBytes);
    EXPECT_TRUE(samePixels(opened.content.background, saved.content.background));
    EXPECT_TRUE(samePixels(rendered(opened), rendered(saved)));
    // Written once more, the file is the same to the byte.
    EXPECT_EQ(templateFileText(opened), templateFileText(saved));
    // Line breaks are "\n" in the file, whatever the editor joined them with.
    QFile file(path());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.contains(R"("text": "Zoë said \"hi\"\nback\\slash\n")")) << text.left(600).toStdString();
    EXPECT_TRUE(text.contains(R"("color": "#123456")"));
    EXPECT_TRUE(text.contains(R"("fill": "#A6CAF0")"));
    EXPECT_TRUE(text.contains(R"("color": "clWindowText")"));
}

// The picture's base64 is read apart from the rest of the text; escapes,
// spacing and a "background" that comes last read as the plain form does.
TEST_F(TemplateFileTest, ThePictureReadsTheSameHoweverTheTextLaysItOut)
{
    const TemplateDocument document = richDocument();
    const QByteArray plain = templateFileText(document);
    QByteArray spaced = plain;
    spaced.replace("\"background\": {", "\"background\"\n\t:\r\n {  ").replace("\"data\": \"", "\"data\" :\"");
    const qsizetype start = plain.indexOf("  \"background\"");
    const qsizetype end = plain.indexOf("\n", start) + 1;
    QByteArray last = plain.left(start) + plain.sliced(end);
    last.insert(last.lastIndexOf('}'), "," + plain.sliced(start, end - start - 2) + "\n");
    ASSERT_TRUE(plain.contains('/'));
    for (const QByteArray& text : {plain, QByteArray(plain).replace("/", "\\/"), spaced, last}) {
        const TemplateDocument read = parseTemplateFile(text, "laid-out.pnxt");
        EXPECT_EQ(read.content.backgroundBytes, document.content.backgroundBytes);
        EXPECT_EQ(read.content.background, document.content.background);
        EXPECT_EQ(read.content.stacking, document.content.stacking);
    }
}

// Reading a template far larger than the memory left gives a message that
// names it, not a bare std::bad_alloc.
TEST_F(TemplateFileTest, RunningOutOfMemoryNamesTheTemplate)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    QByteArray text = templateFileText(richDocument());
    const qsizetype data = text.indexOf("\"data\": \"") + 9;
    text.insert(data, QByteArray(qsizetype(96) << 20, 'A'));
    // In the child: a limit of what the process holds now and a little more.
    const auto parseWithLittleMemory = [&text] {
        QFile statm("/proc/self/statm");
        statm.open(QIODevice::ReadOnly);
        const qint64 pages = statm.readAll().split(' ').value(0).toLongLong();
        const rlim_t limit = rlim_t(pages) * rlim_t(sysconf(_SC_PAGESIZE)) + (rlim_t(48) << 20);
        rlimit bound{};
        bound.rlim_cur = limit;
        bound.rlim_max = limit;
        setrlimit(RLIMIT_AS, &bound);
        try {
            parseTemplateFile(text, "huge.pnxt");
        } catch (const AppError& error) {
            std::fputs(error.message().toUtf8().constData(), stderr);
            std::_Exit(0);
        }
        std::_Exit(1);
    };
    EXPECT_EXIT(parseWithLittleMemory(),
        ::testing::ExitedWithCode(0), "Cannot open the template \"huge.pnxt\": there is not enough memory to read it");
}

TEST_F(TemplateFileTest, AnOpenedTemplateCountsOnAfterItsHighestNumbers)
{
    const TemplateState state = openedState(richDocument());
    EXPECT_EQ(state.textLayerCount, 7);
    EXPECT_EQ(state.shapeLayerCount, 3);
    // Listed texts first, each kind by number: stacked Shape 3, Text 7, Text 1.
    EXPECT_EQ(state.creationOrder, (std::vector<LayerRef>{LayerRef::text(1), LayerRef::text(7), LayerRef::shape(3)}));
    EXPECT_EQ(state.content.stacking, richDocument().content.stacking);
    EXPECT_EQ(state.current, LayerRef::text(1));
    EXPECT_EQ(state.runCanvas, QSize(300, 120));
    // Saving the template being edited writes the size it is run at, else the window's canvas.
    EXPECT_EQ(documentOf(state, kCanvas).canvas, QSize(300, 120));
    EXPECT_EQ(documentOf(TemplateState{}, kCanvas).canvas, kCanvas);
}

TEST_F(TemplateFileTest, WritingReplacesAFileWholeAndFailsWithoutAFolder)
{
    writeTemplateFile(path(), richDocument());
    writeTemplateFile(path(), exampleDocument());
    QFile file(path());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().toStdString(), kExample.toStdString());
    EXPECT_EQ(QDir(scratch()).entryList(QDir::Files), QStringList{"template.pnxt"});
    try {
        writeTemplateFile(scratch() + "/no/such/folder/t.pnxt", exampleDocument());
        FAIL() << "no error";
    } catch (const AppError& error) {
        EXPECT_TRUE(error.message().startsWith("Cannot create file")) << error.message().toStdString();
    }
}

struct Refused {
    const char* what;
    QByteArray text;
    const char* reason;  // a part of the message
};

QByteArray withLayers(const QByteArray& layers, const QByteArray& canvas = R"({ "width": 491, "height": 215 })",
                      const QByteArray& background = "null")
{
    return R"({ "pennolux-template": 1, "canvas": )" + canvas + R"(, "background": )" + background +
           R"(, "layers": [ )" + layers + " ] }";
}

QByteArray shape(int number, const QByteArray& left = "10")
{
    return R"({ "type": "shape", "number": )" + QByteArray::number(number) + R"(, "left": )" + left +
           R"(, "top": 10, "width": 65, "height": 65, "fill": "#FFFFFF" })";
}

QByteArray manyShapes(int count)
{
    QByteArrayList shapes;
    for (int i = 1; i <= count; ++i)
        shapes << shape(i);
    return shapes.join(", ");
}

QByteArray pictureNamed(const QByteArray& name, const QByteArray& data)
{
    return R"({ "name": ")" + name + R"(", "data": ")" + data + R"(" })";
}

TEST_F(TemplateFileTest, RefusesEveryFileItCannotUseNamingTheFileAndWhatIsWrong)
{
    const QByteArray goodPicture = pngBytes(QImage(8, 8, QImage::Format_RGB32)).toBase64();
    const QByteArray text = R"({ "type": "text", "number": 1, "left": 0, "top": 0, "width": 10, "height": 10,
        "text": "x", "font": { "family": "Tahoma", "size": 24, "bold": false, "italic": false,
        "underline": false, "strikeout": false, "color": "clWindowText" } })";
    // Texts of 8-character lines, `lines` of them in each of two layers.
    const auto twoLongTexts = [&](int lines) {
        const QByteArray first = QByteArray(text).replace(R"("text": "x")", "\"text\": \"" + QByteArray("abcdefg\\n").repeated(lines) + "\"");
        return withLayers(first + ", " + QByteArray(first).replace(R"("number": 1)", R"("number": 2)"));
    };
    const std::vector<Refused> cases = {
        {"not JSON", "a list of addresses\n", "not a Pennolux template (not JSON"},
        {"JSON of something else", R"({ "name": "x" })", "not a Pennolux template"},
        {"a list, not an object", "[1, 2]", "not a Pennolux template"},
        {"another version", R"({ "pennolux-template": 4 })", "version 4; this Pennolux reads versions 1 to 3"},
        {"a version just past 1", R"({ "pennolux-template": 1.0000000001 })",
         "version 1.0000000001; this Pennolux reads versions 1 to 3"},
        {"a version between two", R"({ "pennolux-template": 2.5 })", "version 2.5; this Pennolux reads"},
        {"a version far beyond", R"({ "pennolux-template": 1e100 })", "version 1e+100;"},
        {"a version below 1", R"({ "pennolux-template": -1 })", "version -1;"},
        {"a wrong type", withLayers(shape(1, "\"ten\"")), "layer 1: \"left\" must be a whole number"},
        {"a fraction", withLayers(shape(1, "10.5")), "\"left\" must be a whole number"},
        {"a number outside 1 to 99", withLayers(shape(100)), "layer 1: \"number\" must be a whole number from 1 to 99"},
        {"number 0", withLayers(shape(0)), "\"number\" must be a whole number from 1 to 99"},
        {"a number given twice", withLayers(shape(4) + ", " + shape(4)), "layer 2: Shape 4 is given twice"},
        {"more than 99 of a kind", withLayers(manyShapes(100)), "more than 99 shape layers"},
        {"more text than one layer may hold, in two", twoLongTexts(65'537),
         "its text layers hold 1048592 characters together, at most 1048576"},
        {"a negative width", withLayers(QByteArray(shape(1)).replace("\"width\": 65", "\"width\": -1")),
         "\"width\" must be a whole number from 0"},
        {"a missing value", withLayers(QByteArray(text).replace(R"("italic": false,)", "")),
         "layer 1, \"font\": \"italic\" is missing"},
        {"no colour", withLayers(QByteArray(shape(1)).replace("#FFFFFF", "teal-ish")), "\"fill\": \"teal-ish\" is no colour"},
        {"a canvas too wide", withLayers("", R"({ "width": 70000, "height": 10 })"),
         "\"canvas\": \"width\" must be a whole number from 1 to 65535"},
        {"a canvas of too many pixels", withLayers("", R"({ "width": 20000, "height": 20000 })"), "\"canvas\""},
        {"layers not a list", R"({ "pennolux-template": 1, "canvas": { "width": 9, "height": 9 }, "background": null, "layers": {} })",
         "\"layers\" must be a list"},
        {"an unknown layer type", withLayers(R"({ "type": "circle" })"), "\"type\" must be \"text\" or \"shape\""},
        {"invalid base64", withLayers("", R"({ "width": 9, "height": 9 })", pictureNamed("photo.png", "&&&")),
         "\"data\" is not the base64 of a picture file"},
        {"a picture that is none",
         withLayers("", R"({ "width": 9, "height": 9 })", pictureNamed("photo.png", QByteArray("not a picture").toBase64())),
         "Cannot read the picture \"photo.png\""},
        {"a picture of an unknown kind", withLayers("", R"({ "width": 9, "height": 9 })", pictureNamed("photo.xyz", goodPicture)),
         "Unknown picture file extension (.xyz)"},
        {"a picture name without an extension",
         withLayers("", R"({ "width": 9, "height": 9 })", pictureNamed("photo", goodPicture)),
         "Cannot read the picture \"photo\": it has no file extension"},
        {"a picture name with a folder", withLayers("", R"({ "width": 9, "height": 9 })", pictureNamed("../photo.png", goodPicture)),
         "\"name\" must be the name of a file"},
    };
    for (const Refused& refused : cases) {
        SCOPED_TRACE(refused.what);
        const QString file = writeScratchFile("refused.pnxt", refused.text);
        try {
            readTemplateFile(file);
            ADD_FAILURE() << "opened";
        } catch (const AppError& error) {
            const QString message = error.message();
            EXPECT_TRUE(message.startsWith(QStringLiteral("Cannot open the template \"%1\": ").arg(file)))
                << message.toStdString();
            EXPECT_TRUE(message.contains(QString::fromUtf8(refused.reason))) << message.toStdString();
        }
    }
    // Each layer's share of the text is free.
    EXPECT_NO_THROW(readTemplateFile(writeScratchFile("texts.pnxt", twoLongTexts(65'536))));
    // The same file with a good picture opens.
    EXPECT_NO_THROW(readTemplateFile(
        writeScratchFile("good.pnxt", withLayers(text + ", " + shape(1), R"({ "width": 9, "height": 9 })",
                                                 pictureNamed("photo.png", goodPicture)))));
}

TEST_F(TemplateFileTest, WhatCouldNotBeOpenedAgainIsNeverWritten)
{
    // The longest text a file holds, counted with its line breaks as "\n".
    const QString longest = QString("abc\r\n").repeated(1 << 18);
    QFont longFamily = designFont(24);
    longFamily.setFamily(QString(257, u'F'));
    QFont huge = designFont(24);
    huge.setPointSizeF(1001);
    struct Case {
        const char* what;
        std::function<void(TemplateDocument&)> change;
        const char* reason;  // a part of the message
    };
    const std::vector<Case> cases = {
        {"a text of one character too many",
         [&](TemplateDocument& document) { document.content.TextLayers[0]->text = longest + "x"; },
         "Text 1: its text is longer than 1048576 characters"},
        {"the longest text with another layer's",
         [&](TemplateDocument& document) { document.content.TextLayers[0]->text = longest; },
         "its text layers hold"},
        {"a family name too long",
         [&](TemplateDocument& document) { document.content.TextLayers[6]->font.font = longFamily; },
         "Text 7: its font's family name is longer than 256 characters"},
        {"a font too large",
         [&](TemplateDocument& document) { document.content.TextLayers[6]->font.font = huge; },
         "Text 7: its font is larger than 1000 points"},
        {"a layer too far off",
         [](TemplateDocument& document) { document.content.ShapeLayers[2]->box.left = 1'000'000'001; },
         "Shape 3: its place or size is beyond 1000000000 pixels"},
        {"an empty canvas", [](TemplateDocument& document) { document.canvas = QSize(0, 120); }, "the image size"},
    };
    for (const Case& refused : cases) {
        SCOPED_TRACE(refused.what);
        TemplateDocument document = richDocument();
        refused.change(document);
        try {
            writeTemplateFile(path(), document);
            ADD_FAILURE() << "written";
        } catch (const AppError& error) {
            const QString message = error.message();
            EXPECT_TRUE(message.startsWith(QStringLiteral("Cannot save the template \"%1\": ").arg(path())))
                << message.toStdString();
            EXPECT_TRUE(message.contains(QString::fromUtf8(refused.reason))) << message.toStdString();
        }
        EXPECT_FALSE(QFile::exists(path()));
    }

    // At the bounds, and with a picture whose name the reader would take for
    // a folder, the file is written and opens again.
    TemplateDocument document = richDocument();
    document.content.TextLayers[0]->text = longest;
    // The one layer holds all the text a template may.
    document.content.TextLayers[6]->text.clear();
    document.content.backgroundSource = scratch() + "/back\\slash.png";
    writeTemplateFile(path(), document);
    const TemplateDocument opened = readTemplateFile(path());
    EXPECT_EQ(opened.content.TextLayers[0]->text, longest);
    EXPECT_EQ(opened.content.backgroundSource, "back_slash.png");
    EXPECT_EQ(opened.content.backgroundBytes, document.content.backgroundBytes);
}

// A layer off the default alignment makes the file version 2, with the
// layer's "align" key; the other layers have none, as in version 1.
TEST_F(TemplateFileTest, AlignedLayersAreWrittenAsVersionTwoAndReadBack)
{
    TemplateDocument document = richDocument();
    document.content.TextLayers[6]->alignment = {HorizontalAlignment::Right, VerticalAlignment::Middle, true};
    const QByteArray text = templateFileText(document);
    EXPECT_TRUE(text.startsWith("{\n  \"pennolux-template\": 2,\n")) << text.left(40).toStdString();
    EXPECT_TRUE(text.contains("      \"text\": \"Zoë said \\\"hi\\\"\\nback\\\\slash\\n\",\n"
                              "      \"align\": { \"horizontal\": \"right\", \"vertical\": \"middle\", \"shrink\": true },\n"
                              "      \"font\": "))
        << text.toStdString();
    EXPECT_EQ(text.count("\"align\""), 1);

    const TemplateDocument read = parseTemplateFile(text, "aligned.pnxt");
    EXPECT_EQ(read.content.TextLayers, document.content.TextLayers);
    EXPECT_EQ(templateFileText(read), text);
    for (const TextAlignment& alignment : {TextAlignment{HorizontalAlignment::Centre, VerticalAlignment::Top, false},
                                           TextAlignment{HorizontalAlignment::Left, VerticalAlignment::Bottom, false},
                                           TextAlignment{HorizontalAlignment::Left, VerticalAlignment::Top, true}}) {
        document.content.TextLayers[0]->alignment = alignment;
        EXPECT_EQ(parseTemplateFile(templateFileText(document), "a.pnxt").content.TextLayers[0]->alignment, alignment);
    }

    // Version 1 knows no alignment: the key is ignored there, as any unknown key.
    QByteArray older = text;
    older.replace("\"pennolux-template\": 2", "\"pennolux-template\": 1");
    EXPECT_TRUE(parseTemplateFile(older, "old.pnxt").content.TextLayers[6]->alignment.isDefault());
}

TEST_F(TemplateFileTest, RefusesAnAlignmentItCannotUseNamingTheLayer)
{
    const auto withAlign = [](const QByteArray& align) {
        return R"({ "pennolux-template": 2, "canvas": { "width": 9, "height": 9 }, "background": null, "layers": [
            { "type": "shape", "number": 1, "left": 0, "top": 0, "width": 5, "height": 5, "fill": "#FFFFFF" },
            { "type": "text", "number": 1, "left": 0, "top": 0, "width": 10, "height": 10, "text": "x",
              "align": )" + align + R"(,
              "font": { "family": "Tahoma", "size": 24, "bold": false, "italic": false,
                        "underline": false, "strikeout": false, "color": "clWindowText" } } ] })";
    };
    const std::vector<Refused> cases = {
        {"not an object", withAlign("\"centre\""), "layer 2: \"align\" must be an object, not a string"},
        {"an unknown word", withAlign(R"({ "horizontal": "center", "vertical": "top", "shrink": false })"),
         "layer 2, \"align\": \"horizontal\" must be \"left\", \"centre\" or \"right\", not \"center\""},
        {"a number for a word", withAlign(R"({ "horizontal": "left", "vertical": 2, "shrink": false })"),
         "layer 2, \"align\": \"vertical\" must be a string"},
        {"shrink not true or false", withAlign(R"({ "horizontal": "left", "vertical": "top", "shrink": "yes" })"),
         "layer 2, \"align\": \"shrink\" must be true or false"},
        {"a value missing", withAlign(R"({ "horizontal": "left", "shrink": true })"),
         "layer 2, \"align\": \"vertical\" is missing"},
    };
    for (const Refused& refused : cases) {
        SCOPED_TRACE(refused.what);
        try {
            parseTemplateFile(refused.text, "aligned.pnxt");
            ADD_FAILURE() << "opened";
        } catch (const AppError& error) {
            EXPECT_TRUE(error.message().contains(QString::fromUtf8(refused.reason))) << error.message().toStdString();
        }
    }
    EXPECT_NO_THROW(parseTemplateFile(withAlign(R"({ "horizontal": "centre", "vertical": "bottom", "shrink": true })"),
                                      "aligned.pnxt"));
}

// Fields other than one per line make the file version 3 with a "fields"
// key; an older version or the default has none.
TEST_F(TemplateFileTest, FieldsAreWrittenAsVersionThreeAndReadBack)
{
    TemplateDocument document = richDocument();
    document.content.TextLayers[6]->alignment = {HorizontalAlignment::Right, VerticalAlignment::Middle, true};
    EXPECT_FALSE(templateFileText(document).contains("\"fields\""));
    document.content.fields = {FieldFormat::CommaSeparated, true};
    const QByteArray text = templateFileText(document);
    EXPECT_TRUE(text.startsWith("{\n  \"pennolux-template\": 3,\n")) << text.left(40).toStdString();
    EXPECT_TRUE(text.contains("  \"fields\": { \"format\": \"csv\", \"header\": true },\n  \"layers\""))
        << text.toStdString();
    const TemplateDocument read = parseTemplateFile(text, "merge.pnxt");
    EXPECT_EQ(read.content.fields, document.content.fields);
    EXPECT_EQ(read.content.TextLayers, document.content.TextLayers);
    EXPECT_EQ(templateFileText(read), text);
    document.content.fields = {FieldFormat::TabSeparated, false};
    EXPECT_EQ(parseTemplateFile(templateFileText(document), "a.pnxt").content.fields, document.content.fields);

    QByteArray older = text;
    older.replace("\"pennolux-template\": 3", "\"pennolux-template\": 2");
    EXPECT_TRUE(parseTemplateFile(older, "old.pnxt").content.fields.isDefault());

    const std::vector<Refused> cases = {
        {"an unknown format", QByteArray(text).replace("\"csv\"", "\"tsv\""),
         "\"fields\": \"format\" must be \"line\", \"tab\" or \"csv\", not \"tsv\""},
        {"header not true or false", QByteArray(text).replace("\"header\": true", "\"header\": 1"),
         "\"fields\": \"header\" must be true or false"},
        {"not an object", QByteArray(text).replace("{ \"format\": \"csv\", \"header\": true }", "\"csv\""),
         "\"fields\" must be an object"},
    };
    for (const Refused& refused : cases) {
        SCOPED_TRACE(refused.what);
        try {
            parseTemplateFile(refused.text, "merge.pnxt");
            ADD_FAILURE() << "opened";
        } catch (const AppError& error) {
            EXPECT_TRUE(error.message().contains(QString::fromUtf8(refused.reason))) << error.message().toStdString();
        }
    }
}

TEST_F(TemplateFileTest, AMissingFileOrAFolderIsNamedAndAPipeIsRead)
{
    const QString folder = path("folder.pnxt");
    ASSERT_TRUE(QDir().mkpath(folder));
    for (const QString& missing : {path("none.pnxt"), folder}) {
        SCOPED_TRACE(missing.toStdString());
        try {
            readTemplateFile(missing);
            ADD_FAILURE() << "opened";
        } catch (const AppError& error) {
            EXPECT_TRUE(error.message().startsWith(QStringLiteral("Cannot open file \"%1\"").arg(missing)))
                << error.message().toStdString();
        }
    }

    // As the shell's <(...) hands a template over.
    const QByteArray text = templateFileText(exampleDocument());
    const QString fifo = path("pipe.pnxt");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    std::thread writer([&] {
        QFile end(fifo);
        if (end.open(QIODevice::WriteOnly))
            end.write(text);
    });
    const TemplateDocument read = readTemplateFile(fifo);
    writer.join();
    EXPECT_EQ(templateFileText(read), text);
}

} // namespace
} // namespace pennolux
