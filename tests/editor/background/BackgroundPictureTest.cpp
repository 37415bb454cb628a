#include <QBuffer>
#include <QImageWriter>
#include <QtEndian>
#include <gtest/gtest.h>

#include "EditorTestSupport.h"
#include "IsolatedHomeTest.h"
#include "editor/background/BackgroundPicture.h"
#include "editor/background/PictureFormats.h"
#include "editor/file/TemplateFile.h"
#include "editor/history/TemplateStep.h"
#include "editor/model/TemplateModel.h"
#include "platform/AppError.h"
#include "production/writers/ImageOutput.h"

namespace pennolux {
namespace {

using namespace testing;

const QColor kColor(30, 160, 90);

QImage solidPicture(QSize size = QSize(48, 32), const QColor& color = kColor)
{
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(color);
    return picture;
}

QByteArray encoded(const QImage& picture, const QByteArray& format)
{
    if (format == "gif")
        return encodeImage(picture, ImageFormat::GIF);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    EXPECT_TRUE(writer.write(picture)) << format.toStdString();
    return bytes;
}

class BackgroundPictureTest : public IsolatedHomeTest {
protected:
    QString errorOf(const QString& path)
    {
        try {
            decodeBackgroundPicture(path);
        } catch (const AppError& error) {
            return error.message();
        }
        return {};
    }
};

TEST_F(BackgroundPictureTest, TheDefaultIsAGreenBackdropOf640By300)
{
    const QImage picture = defaultBackground();
    ASSERT_EQ(picture.size(), QSize(640, 300));
    EXPECT_EQ(picture.format(), QImage::Format_RGB32);
    qint64 red = 0;
    qint64 green = 0;
    qint64 blue = 0;
    QSet<QRgb> colours;
    for (int y = 0; y < picture.height(); y += 5) {
        for (int x = 0; x < picture.width(); x += 5) {
            const QRgb pixel = picture.pixel(x, y);
            red += qRed(pixel);
            green += qGreen(pixel);
            blue += qBlue(pixel);
            colours.insert(pixel);
        }
    }
    EXPECT_GT(green, 3 * red / 2);
    EXPECT_GT(green, 3 * blue / 2);
    EXPECT_GT(colours.size(), 500);  // textured, not flat
}

TEST_F(BackgroundPictureTest, TheFilterOffersAllThenEachExtensionLastFirst)
{
    EXPECT_EQ(pictureNameFilters(),
              (QStringList{"All (*.wbmp *.webp *.svg *.gif *.jpg *.jpeg *.png *.bmp *.ico *.tif *.tiff)",
                           "WBMP Images (*.wbmp)", "WebP Images (*.webp)", "Scalable Vector Graphics (*.svg)",
                           "GIF Image (*.gif)", "JPEG Image File (*.jpg)", "JPEG Image File (*.jpeg)",
                           "Portable Network Graphics (*.png)", "Bitmaps (*.bmp)", "Icons (*.ico)",
                           "TIFF Images (*.tif)", "TIFF Images (*.tiff)"}));
}

TEST_F(BackgroundPictureTest, EveryOfferedFormatDecodes)
{
    struct Case {
        const char* name;
        QByteArray format;
        QColor color;
        int tolerance;
    };
    const Case cases[] = {
        {"p.png", "png", kColor, 0},     {"p.jpg", "jpeg", kColor, 4},     {"p.JPEG", "jpeg", kColor, 4},
        {"p.gif", "gif", kColor, 0},     {"p.bmp", "bmp", kColor, 0},      {"p.ico", "ico", kColor, 0},
        {"p.tif", "tiff", kColor, 0},    {"p.TIFF", "tiff", kColor, 0},    {"p.webp", "webp", kColor, 12},
        {"p.wbmp", "wbmp", Qt::white, 0},
    };
    for (const Case& c : cases) {
        const QString path = writeScratchFile(c.name, encoded(solidPicture(QSize(48, 32), c.color), c.format));
        const QImage picture = decodeBackgroundPicture(path);
        EXPECT_EQ(picture.size(), QSize(48, 32)) << c.name;
        EXPECT_EQ(pixelsNear(picture, picture.rect(), c.color, c.tolerance), 48 * 32) << c.name;
    }
}

// The image of a one-frame GIF, with the colours of its file as its own.
QByteArray gifFrameWithItsOwnColours(const QByteArray& gif)
{
    const int packed = quint8(gif[10]);
    const int table = 3 << ((packed & 7) + 1);
    QByteArray frame = gif.mid(13 + table);
    EXPECT_EQ(frame[0], '\x2C');
    frame[9] = char(0x80 | (packed & 7));
    frame.insert(10, gif.mid(13, table));
    return frame;
}

TEST_F(BackgroundPictureTest, AGifShowsItsFirstFrame)
{
    QByteArray gif = encoded(solidPicture(QSize(8, 8), Qt::red), "gif");
    gif.chop(1);  // the trailer
    gif += gifFrameWithItsOwnColours(encoded(solidPicture(QSize(8, 8), Qt::blue), "gif"));
    const QImage picture = decodeBackgroundPicture(writeScratchFile("two.gif", gif));
    EXPECT_EQ(picture.pixelColor(4, 4), QColor(Qt::red));
}

// An SVG is held to the limits by the size it is drawn at, whatever size it
// declares.
TEST_F(BackgroundPictureTest, ASvgRendersAtABoundedSizeKeepingItsShape)
{
    for (const QByteArray& size : {QByteArray("width='100' height='50'"), QByteArray("width='100000' height='50000'"),
                                   QByteArray("viewBox='0 0 100000 50000'")}) {
        SCOPED_TRACE(size.toStdString());
        const QByteArray rect = size.contains("100000") ? "width='100000' height='50000'" : "width='100' height='50'";
        const QString path = writeScratchFile(
            "p.svg", "<svg xmlns='http://www.w3.org/2000/svg' " + size + "><rect " + rect +
                         " fill='rgb(30,160,90)'/></svg>");
        const QImage picture = decodeBackgroundPicture(path);
        EXPECT_EQ(picture.size(), QSize(2048, 1024));
        EXPECT_EQ(picture.pixelColor(1024, 512), kColor);
    }
    const QString thin = writeScratchFile(
        "thin.svg", "<svg xmlns='http://www.w3.org/2000/svg' width='1000000' height='10'><rect width='10' height='10'/></svg>");
    EXPECT_EQ(decodeBackgroundPicture(thin).size(), QSize(2048, 1));
}

TEST_F(BackgroundPictureTest, UnknownExtensionsAndMetafilesAreRefusedByName)
{
    const QByteArray png = encoded(solidPicture(), "png");
    EXPECT_EQ(errorOf(writeScratchFile("p.wmf", png)), "Unknown picture file extension (.wmf)");
    EXPECT_EQ(errorOf(writeScratchFile("p.EMF", png)), "Unknown picture file extension (.EMF)");
    EXPECT_EQ(errorOf(writeScratchFile("p.tga", png)), "Unknown picture file extension (.tga)");
    const QString bare = writeScratchFile("noextension", png);
    EXPECT_EQ(errorOf(bare), "Cannot read the picture \"" + bare + "\": it has no file extension");
    const QString dotted = writeScratchFile("dotted.", png);
    EXPECT_EQ(errorOf(dotted), "Cannot read the picture \"" + dotted + "\": it has no file extension");
}

quint32 crc32Of(const QByteArray& bytes)
{
    quint32 crc = 0xFFFFFFFFu;
    for (const char byte : bytes) {
        crc ^= quint8(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// A PNG whose header declares the size; its pixels are one.
QByteArray pngHeaderOfSize(quint32 width, quint32 height)
{
    QByteArray png = encoded(solidPicture(QSize(1, 1)), "png");
    qToBigEndian(width, png.data() + 16);
    qToBigEndian(height, png.data() + 20);
    qToBigEndian(crc32Of(png.mid(12, 17)), png.data() + 29);
    return png;
}

// Pixels of many colours, so that a cut lands in the picture's data.
QImage noisyPicture()
{
    QImage picture(200, 150, QImage::Format_RGB32);
    quint32 state = 12345;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            state = state * 1664525u + 1013904223u;
            picture.setPixel(x, y, state >> 8);
        }
    return picture;
}

TEST_F(BackgroundPictureTest, BadFilesNameTheFileAndSayWhy)
{
    auto cut = [](const QByteArray& format) {
        const QByteArray whole = encoded(noisyPicture(), format);
        return whole.left(whole.size() * 2 / 3);
    };
    QByteArray ppm = "P6\n2 2\n255\n" + QByteArray(12, '\x40');
    struct Case {
        const char* name;
        QByteArray bytes;
        const char* reason;
    };
    const Case cases[] = {
        {"wide.png", pngHeaderOfSize(16385, 10), "too large"},
        {"many.png", pngHeaderOfSize(10001, 10000), "too large"},
        {"cut.png", cut("png"), "damaged"},
        {"cut.jpg", cut("jpeg"), "cut off"},
        {"cut.gif", cut("gif"), "cut off"},
        {"cut.bmp", cut("bmp"), "cut off"},
        {"cut.webp", cut("webp"), "damaged"},
        {"cut.tif", cut("tiff"), "damaged"},
        {"cut.ico", cut("ico"), "damaged"},
        {"noise.png", QByteArray(4000, '\x5a'), "damaged"},
        {"empty.bmp", QByteArray(), "damaged"},
        {"portable.png", ppm, "not a picture in a format"},
        {"broken.svg", "<svg xmlns='http://www.w3.org/2000/svg'><rect", "does not render"},
        {"text.svg", "not an svg at all", "does not render"},
    };
    for (const Case& c : cases) {
        const QString path = writeScratchFile(c.name, c.bytes);
        const QString message = errorOf(path);
        EXPECT_TRUE(message.startsWith("Cannot read the picture \"" + path + "\": ")) << message.toStdString();
        EXPECT_TRUE(message.contains(c.reason)) << c.name << ": " << message.toStdString();
    }
    EXPECT_TRUE(errorOf(scratch() + "/missing.png").contains("missing.png"));
}

// A JPEG whose scan stops at the given share of its data, closed with an
// end-of-image marker so that its structure looks whole.
QByteArray jpegWithScanCut(double share)
{
    const QByteArray whole = encoded(noisyPicture(), "jpeg");
    const qsizetype scan = whole.indexOf("\xFF\xDA");
    const qsizetype data = scan + 2 + qFromBigEndian<quint16>(whole.constData() + scan + 2);
    const qsizetype end = whole.lastIndexOf("\xFF\xD9");
    return whole.left(data + qsizetype((end - data) * share)) + "\xFF\xD9";
}

// A GIF of the given size whose only frame has no image data at all.
QByteArray gifWithoutImageData(int width, int height)
{
    QByteArray gif = "GIF89a";
    auto little16 = [&gif](int value) {
        gif += char(value & 0xFF);
        gif += char(value >> 8);
    };
    little16(width);
    little16(height);
    gif += QByteArray("\x80\x00\x00", 3) + QByteArray("\x00\x00\x00\xFF\xFF\xFF", 6);
    gif += ',';
    little16(0);
    little16(0);
    little16(width);
    little16(height);
    gif += QByteArray("\x00\x02\x00;", 4);
    return gif;
}

// Qt's readers draw grey or black where such data is missing and report
// success; the decoders themselves know better.
TEST_F(BackgroundPictureTest, DamageTheDecoderReportsIsRefused)
{
    const QByteArray whole = encoded(noisyPicture(), "jpeg");
    const qsizetype scan = whole.indexOf("\xFF\xDA");
    const qsizetype headerEnd = scan + 2 + qFromBigEndian<quint16>(whole.constData() + scan + 2);
    const QByteArray png = encoded(noisyPicture(), "png");
    struct Case {
        const char* name;
        QByteArray bytes;
        const char* reason;
    };
    const Case cases[] = {
        {"header-only.jpg", whole.left(headerEnd), "cut off"},
        {"header-then-end.jpg", jpegWithScanCut(0), "premature end of data segment"},
        {"half-scan.jpg", jpegWithScanCut(0.5), "premature end of data segment"},
        {"no-lzw.gif", gifWithoutImageData(16384, 6103), "cut off or damaged (Image is defective"},
        {"no-lzw-small.gif", gifWithoutImageData(40, 30), "cut off or damaged (Image is defective"},
        {"half.png", png.left(png.size() / 2), "damaged"},
        {"no-end.png", png.left(png.size() - 12), "damaged"},
    };
    for (const Case& c : cases) {
        const QString path = writeScratchFile(c.name, c.bytes);
        const QString message = errorOf(path);
        EXPECT_TRUE(message.startsWith("Cannot read the picture \"" + path + "\": ")) << message.toStdString();
        EXPECT_TRUE(message.contains(c.reason)) << c.name << ": " << message.toStdString();
    }
}

// Made by another program's encoder: progressive and grey JPEG, Adobe CMYK,
// interlaced and animated GIF.
TEST_F(BackgroundPictureTest, WholePicturesFromAnotherEncoderAreAccepted)
{
    for (const char* name : {"baseline.jpg", "progressive.jpg", "grey.jpg", "cmyk.jpg", "plain.gif",
                             "interlaced.gif", "animated.gif"}) {
        const QString path = QStringLiteral(PENNOLUX_TEST_PICTURES "/") + name;
        EXPECT_EQ(errorOf(path), QString()) << name;
        EXPECT_EQ(decodeBackgroundPicture(path).size(), QSize(96, 64)) << name;
    }
}

TEST_F(BackgroundPictureTest, AJpegWithDataAfterItsEndIsWhole)
{
    const QByteArray jpeg = encoded(solidPicture(), "jpeg") + QByteArray("\xFF\xDA trailing camera data", 24);
    EXPECT_EQ(decodeBackgroundPicture(writeScratchFile("tail.jpg", jpeg)).size(), QSize(48, 32));
}

TEST_F(BackgroundPictureTest, APreviewFitsTheBoxOrIsEmpty)
{
    const QString path = writeScratchFile("p.png", encoded(solidPicture(QSize(400, 100)), "png"));
    EXPECT_EQ(previewBackgroundPicture(path, QSize(160, 160)).size(), QSize(160, 40));
    EXPECT_TRUE(previewBackgroundPicture(writeScratchFile("p.wmf", "x"), QSize(160, 160)).isNull());
    EXPECT_TRUE(previewBackgroundPicture(writeScratchFile("big.png", pngHeaderOfSize(20000, 20000)), QSize(160, 160))
                    .isNull());
}

// A JPEG of a picture whose left half is red and right half blue, marked by
// an EXIF APP1 segment as "turn 90 degrees clockwise to show", as a camera
// held upright marks its photos.
QByteArray sidewaysJpeg()
{
    QImage picture(32, 16, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            picture.setPixel(x, y, qRgb(255, 0, 0));
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(100);
    EXPECT_TRUE(writer.write(picture));
    const QByteArray exif("\xFF\xE1\x00\x22"                  // APP1, 34 bytes long
                          "Exif\x00\x00"                      // its signature
                          "MM\x00\x2A\x00\x00\x00\x08"        // big-endian TIFF, first IFD at 8
                          "\x00\x01"                          // one entry:
                          "\x01\x12\x00\x03\x00\x00\x00\x01"  // Orientation, SHORT, 1 value
                          "\x00\x06\x00\x00"                  // 6: turn 90 degrees clockwise
                          "\x00\x00\x00\x00",                 // no next IFD
                          36);
    QByteArray bytes = buffer.data();
    bytes.insert(2, exif);  // after the start of image
    return bytes;
}

// Upright: 16 wide, 32 high, what was left is at the top.
void expectUpright(const QImage& picture)
{
    ASSERT_EQ(picture.size(), QSize(16, 32));
    EXPECT_EQ(pixelsNear(picture, QRect(2, 2, 12, 12), Qt::red, 24), 144);
    EXPECT_EQ(pixelsNear(picture, QRect(2, 18, 12, 12), Qt::blue, 24), 144);
}

TEST_F(BackgroundPictureTest, APhotoIsShownTurnedAsItsExifOrientationSaysOnEveryWayIn)
{
    const QByteArray bytes = sidewaysJpeg();
    const QString path = writeScratchFile("upright.jpg", bytes);
    {
        SCOPED_TRACE("Browse...");
        const PictureFile file = readBackgroundPicture(path);
        expectUpright(file.picture);
        // The file's own bytes are kept, so it opens turned anywhere.
        EXPECT_EQ(file.bytes, bytes);
    }
    {
        SCOPED_TRACE("embedded in a template file");
        const QByteArray text = R"({ "pennolux-template": 1, "canvas": { "width": 9, "height": 9 },
            "background": { "name": "upright.jpg", "data": ")" + bytes.toBase64() + R"(" }, "layers": [] })";
        expectUpright(parseTemplateFile(text, "t.pnxt").content.background);
    }
    {
        SCOPED_TRACE("put back by undo from the bytes");
        TemplateModel model;
        model.setBackground(decodeBackgroundBytes("upright.jpg", bytes), "upright.jpg", bytes);
        const TemplateState before = model.state();
        model.setBackground(solidPicture(), "plain.png", encoded(solidPicture(), "png"));
        // The step keeps only the bytes of the picture the canvas no longer shows.
        TemplateStep step(model, "Picture", before, StepKind::Single, LayerRef());
        step.undo();
        expectUpright(model.content().background);
    }
    {
        SCOPED_TRACE("the preview");
        const QImage preview = previewBackgroundPicture(path, QSize(160, 160));
        EXPECT_EQ(preview.size(), QSize(80, 160));
        EXPECT_GT(pixelsNear(preview.convertToFormat(QImage::Format_RGB32), QRect(10, 10, 60, 60), Qt::red, 24), 3000);
    }
}

} // namespace
} // namespace pennolux
