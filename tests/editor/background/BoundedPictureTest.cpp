#include <QBuffer>
#include <QDataStream>
#include <array>
#include <cstdio>
#include <QDir>
#include <QImageWriter>
#include <chrono>
#include <fcntl.h>
#include <future>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "EditorTestSupport.h"
#include "IsolatedHomeTest.h"
#include "editor/background/BackgroundPicture.h"
#include "editor/file/TemplateFile.h"
#include "platform/AppError.h"

namespace pennolux {
namespace {

using namespace testing;

QByteArray redPng()
{
    QImage picture(10, 10, QImage::Format_RGB32);
    picture.fill(Qt::red);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "png").write(picture);
    return buffer.data();
}

QByteArray svgOf(const QByteArray& body, const QByteArray& prologue = {})
{
    return prologue
        + "<svg xmlns='http://www.w3.org/2000/svg' "
          "xmlns:xlink='http://www.w3.org/1999/xlink' "
          "width='100' height='100'>"
        + body + "</svg>";
}

QByteArray imageOf(const QByteArray& attribute, const QByteArray& reference)
{
    return "<image width='100' height='100' " + attribute + "='" + reference + "'/>";
}

class BoundedPictureTest : public IsolatedHomeTest {
protected:
    QString errorOf(const QString& name, const QByteArray& bytes)
    {
        try {
            decodeBackgroundBytes(name, bytes);
        } catch (const AppError& error) {
            return error.message();
        }
        return {};
    }
};

// The renderer would open any of these and draw it into every image.
TEST_F(BoundedPictureTest, AnSvgReferringOutsideItselfIsRefusedNamingTheReference)
{
    const QString png = writeScratchFile("red.png", redPng());
    const QString savedFolder = QDir::currentPath();
    QDir::setCurrent(scratch());
    struct Case {
        const char* what;
        QByteArray svg;
        QString reference;
    };
    const Case cases[] = {
        {"absolute", svgOf(imageOf("xlink:href", png.toUtf8())), png},
        {"relative", svgOf(imageOf("xlink:href", "red.png")), "red.png"},
        {"plain href", svgOf(imageOf("href", png.toUtf8())), png},
        {"file URL", svgOf(imageOf("xlink:href", "file://" + png.toUtf8())), "file://" + png},
        {"spaced", svgOf(imageOf("xlink:href", "  " + png.toUtf8())), png},
        {"another drawing", svgOf("<use xlink:href='other.svg#r'/>"), "other.svg#r"},
        {"style attribute", svgOf("<rect width='9' height='9' style='fill:url(\"" + png.toUtf8() + "\")'/>"), png},
        {"style element", svgOf("<style>rect { fill: url(" + png.toUtf8() + ") }</style>"), png},
        {"import", svgOf("<style><![CDATA[@import 'a.css';]]></style>"), "a.css"},
        {"style sheet", svgOf("", "<?xml-stylesheet type='text/css' href='a.css'?>"), "a.css"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString message = errorOf("x.svg", c.svg);
        EXPECT_TRUE(message.startsWith("Cannot read the picture \"x.svg\": it "
                                       "refers to a file outside itself"))
            << message.toStdString();
        EXPECT_TRUE(message.contains(c.reference.trimmed())) << message.toStdString();
        EXPECT_TRUE(message.endsWith("embed that file in the SVG instead")) << message.toStdString();
    }
    QDir::setCurrent(savedFolder);

    // The same for a picture embedded in a template file.
    const QByteArray text =
        R"({ "pennolux-template": 1, "canvas": { "width": 9, "height": 9 },
        "background": { "name": "x.svg", "data": ")"
        + svgOf(imageOf("xlink:href", png.toUtf8())).toBase64() + R"(" }, "layers": [] })";
    try {
        parseTemplateFile(text, "t.pnxt");
        ADD_FAILURE() << "the template was read";
    } catch (const AppError& error) {
        EXPECT_TRUE(error.message().contains("refers to a file outside itself")) << error.message().toStdString();
    }
}

// The renderer would wait for a writer on the pipe for ever.
TEST_F(BoundedPictureTest, AnSvgReferringToAPipeIsRefusedAtOnce)
{
    const QByteArray pipe = (scratch() + "/pipe.png").toUtf8();
    ASSERT_EQ(mkfifo(pipe.constData(), 0600), 0);
    for (const QByteArray& reference : {pipe, QByteArray("/dev/stdin")}) {
        SCOPED_TRACE(reference.toStdString());
        auto decoding = std::async(std::launch::async,
            [this, reference] { return errorOf("x.svg", svgOf(imageOf("xlink:href", reference))); });
        if (decoding.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
            // Lets a reader waiting on the pipe go, so the failure does not hang.
            ::close(::open(pipe.constData(), O_WRONLY | O_NONBLOCK));
            FAIL() << "the decoding still waits after 10 seconds";
        }
        EXPECT_TRUE(decoding.get().contains("refers to a file outside itself"));
    }
}

TEST_F(BoundedPictureTest, AnSvgOfItsOwnDataAndFragmentsIsDrawn)
{
    const QByteArray svg = svgOf("<defs><linearGradient id='g'><stop offset='0' stop-color='#0000ff'/>"
                                 "<stop offset='1' stop-color='#0000ff'/></linearGradient>"
                                 "<rect id='r' width='50' height='100' fill='url(#g)'/></defs>"
                                 "<style>.b { fill: url('#g') }</style>"
                                 "<use xlink:href='#r'/>"
            + imageOf("xlink:href", "data:image/png;base64," + redPng().toBase64()).replace("<image ", "<image x='50' ")
            + "<a xlink:href='https://example.org/'><rect class='b' width='1' "
              "height='1'/></a>",
        "<?xml version='1.0'?><!DOCTYPE svg PUBLIC '-//W3C//DTD SVG 1.1//EN' "
        "'http://www.w3.org/Graphics/SVG/1.1/DTD/svg11.dtd'>");
    const QImage picture = decodeBackgroundBytes("x.svg", svg);
    ASSERT_EQ(picture.size(), QSize(2048, 2048));
    EXPECT_EQ(picture.pixelColor(500, 1024), QColor(Qt::blue));
    EXPECT_EQ(picture.pixelColor(1500, 1024), QColor(Qt::red));
}

TEST_F(BoundedPictureTest, EntitiesCompressionAndBadXmlAreRefused)
{
    const QByteArray entities = svgOf("<style>&c;</style>", "<!DOCTYPE svg [<!ENTITY c SYSTEM '/etc/hostname'>]>");
    EXPECT_TRUE(errorOf("x.svg", entities).contains("declares XML entities"));
    const QByteArray gzip("\x1f\x8b\x08\x00\x00\x00\x00\x00", 8);
    EXPECT_TRUE(errorOf("x.svg", gzip + svgOf("")).contains("compressed SVG"));
    // Read up to the error, the reference would be opened first.
    EXPECT_TRUE(errorOf("x.svg", svgOf(imageOf("xlink:href", "/etc/a.png")).chopped(6)).contains("outside itself"));
    EXPECT_TRUE(errorOf("x.svg", svgOf("<rect></g>")).contains("does not render"));
}

TEST_F(BoundedPictureTest, AnSvgOfTooManyElementsIsRefused)
{
    const auto rects
        = [](int count) { return svgOf("<rect width='1' height='1'/>" + QByteArray("<rect/>").repeated(count - 2)); };
    EXPECT_EQ(errorOf("x.svg", rects(10'000)), QString());
    EXPECT_EQ(errorOf("x.svg", rects(10'001)),
        "Cannot read the picture \"x.svg\": it has more than 10000 elements, more than Pennolux draws");
}

// Every point is read and measured before anything is drawn; past the limit
// the drawing is refused unread.
TEST_F(BoundedPictureTest, AnSvgOfTooManyPathPointsIsRefused)
{
    const auto zigzag = [](int pairs) {
        QByteArray points;
        for (int index = 0; index < pairs; ++index)
            points += index % 2 ? "-1.5.5" : " 2e0,1";
        return points;
    };
    // Half in one path, half over a polygon and a polyline; compact numbers
    // ("-1.5.5" is two) count as the renderer reads them.
    const auto drawing = [&](int points) {
        return svgOf("<path fill='red' d='M0,0 l" + zigzag(points / 2 - 1) + "z'/><polygon points='"
            + zigzag(points / 4) + "'/><polyline points='" + zigzag(points - points / 2 - points / 4) + "'/>");
    };
    EXPECT_EQ(errorOf("x.svg", drawing(500'000)), QString());
    EXPECT_EQ(errorOf("x.svg", drawing(500'001)),
        "Cannot read the picture \"x.svg\": its drawing is too complex: 500001 path points, at most 500000");
    // An illustration's curves: a few hundred shapes of a few dozen points.
    QByteArray shapes;
    for (int index = 0; index < 400; ++index)
        shapes += "<path fill='#4a7' stroke='#000' d='M" + QByteArray::number(index % 90) + " 10 c 1.5-2 3.25,-2 4.5,0 "
                  "s3 2 4.5 0 a2 2 0 0 1 -4 4 q -1 1 -2 0 t-1-1 h1v1H3V4z'/>";
    EXPECT_EQ(errorOf("x.svg", svgOf(shapes)), QString());
}

// Few points may still cost minutes: a comb of 200 teeth the height of the
// picture, 400 points in all, took 10 to 30 seconds to draw, 2,000 teeth more
// than three minutes. Shapes as large as the picture, drawn over one another,
// are what backgrounds hold and are drawn.
TEST_F(BoundedPictureTest, AnSvgOfFewButLongEdgesIsRefusedBeforeItIsDrawn)
{
    const auto comb = [](int teeth) {
        QByteArray points;
        for (int index = 0; index < teeth; ++index) {
            const double left = index * 100.0 / teeth;
            points += QByteArray::number(left) + ",0 " + QByteArray::number(left + 50.0 / teeth) + ",100 ";
        }
        return svgOf("<polygon fill='#369' points='" + points + "'/>");
    };
    EXPECT_EQ(errorOf("comb.svg", comb(200)),
        "Cannot read the picture \"comb.svg\": its drawing is too complex: its shapes have too many long edges to be "
        "drawn in a few seconds");
    EXPECT_EQ(errorOf("comb.svg", comb(20)), QString());

    QByteArray layers;
    for (int index = 0; index < 200; ++index) {
        layers += "<rect width='100' height='100' fill-opacity='0.5' fill='#" + QByteArray::number(0x102030 + index, 16)
                  + "'/><circle cx='50' cy='50' r='" + QByteArray::number(50 - index / 5.0) + "' stroke='#000'/>";
    }
    EXPECT_EQ(errorOf("layers.svg", svgOf(layers)), QString());
}

QByteArray progressiveJpeg()
{
    QImage picture(64, 48, QImage::Format_RGB32);
    picture.fill(QColor(30, 160, 90));
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setProgressiveScanWrite(true);
    EXPECT_TRUE(writer.write(picture));
    return buffer.data();
}

// Each scan is decoded over the whole picture again: thousands of them take
// minutes at the largest size.
TEST_F(BoundedPictureTest, AJpegOfTooManyScansIsRefusedUndecoded)
{
    const QByteArray jpeg = progressiveJpeg();
    EXPECT_EQ(decodeBackgroundBytes("p.jpg", jpeg).size(), QSize(64, 48));
    const qsizetype firstScan = jpeg.indexOf("\xFF\xDA");
    ASSERT_GT(firstScan, 0);
    const QByteArray scans = jpeg.mid(firstScan, jpeg.size() - 2 - firstScan);
    ASSERT_GE(scans.count("\xFF\xDA"), 2);
    const QByteArray many = jpeg.left(firstScan) + scans.repeated(1 + 100 / scans.count("\xFF\xDA")) + "\xFF\xD9";
    const QString message = errorOf("p.jpg", many);
    EXPECT_TRUE(message.contains("more than 100 scans")) << message.toStdString();
    EXPECT_TRUE(previewBackgroundPicture(writeScratchFile("many.jpg", many), QSize(160, 160)).isNull());
}

// A grey 1 × 1 TIFF carrying a private tag no reader knows, as photo
// editors write them.
QByteArray tiffWithUnknownTag()
{
    const std::vector<std::array<quint32, 4>> entries = {{256, 3, 1, 1}, {257, 3, 1, 1}, {258, 3, 1, 8},
        {259, 3, 1, 1}, {262, 3, 1, 1}, {273, 4, 1, 0}, {277, 3, 1, 1}, {278, 3, 1, 1}, {279, 4, 1, 1},
        {40000, 3, 1, 7}};
    QByteArray bytes("II*\0\x08\0\0\0", 8);
    QDataStream stream(&bytes, QIODevice::Append);
    stream.setByteOrder(QDataStream::LittleEndian);
    stream << quint16(entries.size());
    const quint32 dataOffset = 8 + 2 + quint32(entries.size()) * 12 + 4;
    for (const auto& [tag, type, count, value] : entries) {
        stream << quint16(tag) << quint16(type) << count;
        const quint32 field = tag == 273 ? dataOffset : value;
        if (type == 3)
            stream << quint16(field) << quint16(0);
        else
            stream << field;
    }
    stream << quint32(0) << quint8(0x80);
    return bytes;
}

// What the decoding wrote on standard error.
template <typename Work>
QByteArray standardErrorOf(Work work)
{
    std::fflush(stderr);
    const int saved = dup(2);
    FILE* capture = std::tmpfile();
    dup2(fileno(capture), 2);
    work();
    std::fflush(stderr);
    dup2(saved, 2);
    close(saved);
    QByteArray written(4096, '\0');
    std::rewind(capture);
    written.resize(qsizetype(std::fread(written.data(), 1, written.size(), capture)));
    std::fclose(capture);
    return written;
}

// A batch run prints only its own lines; libtiff would add its warnings.
TEST_F(BoundedPictureTest, ATiffDecodesWithoutWritingToStandardError)
{
    const QByteArray tiff = tiffWithUnknownTag();
    QImage picture;
    const QByteArray written = standardErrorOf([&] { picture = decodeBackgroundBytes("tag.tif", tiff); });
    EXPECT_EQ(picture.size(), QSize(1, 1));
    EXPECT_EQ(picture.pixelColor(0, 0), QColor(128, 128, 128));
    EXPECT_EQ(written, QByteArray());
    EXPECT_EQ(standardErrorOf([&] { previewBackgroundPicture(writeScratchFile("tag.tif", tiff), QSize(8, 8)); }),
        QByteArray());
}

} // namespace
} // namespace pennolux
