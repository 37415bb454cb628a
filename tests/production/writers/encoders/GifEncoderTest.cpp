#include <gtest/gtest.h>

#include <gif_lib.h>

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QSet>

#include <cstring>
#include <memory>

#include "platform/AppError.h"
#include "production/writers/ImageEncoders.h"

namespace pennolux {
namespace {

struct MemoryReader {
    const QByteArray& bytes;
    qsizetype position = 0;
};

int readFromMemory(GifFileType* gif, GifByteType* buffer, int length)
{
    auto* reader = static_cast<MemoryReader*>(gif->UserData);
    const int available = static_cast<int>(std::min<qsizetype>(length, reader->bytes.size() - reader->position));
    std::memcpy(buffer, reader->bytes.constData() + reader->position, static_cast<std::size_t>(available));
    reader->position += available;
    return available;
}

struct CloseGifReader {
    void operator()(GifFileType* gif) const
    {
        int ignored = 0;
        DGifCloseFile(gif, &ignored);
    }
};

// A GIF read back by giflib, with the fields the writer is meant to fix.
struct DecodedGif {
    QByteArray bytes;
    std::unique_ptr<GifFileType, CloseGifReader> file;

    const SavedImage& frame() const { return file->SavedImages[0]; }
    const ColorMapObject* colorTable() const
    {
        return frame().ImageDesc.ColorMap ? frame().ImageDesc.ColorMap : file->SColorMap;
    }
    QImage pixels() const
    {
        const GifImageDesc& desc = frame().ImageDesc;
        QImage image(desc.Width, desc.Height, QImage::Format_RGB32);
        for (int y = 0; y < desc.Height; ++y)
            for (int x = 0; x < desc.Width; ++x) {
                const GifColorType c = colorTable()->Colors[frame().RasterBits[y * desc.Width + x]];
                image.setPixel(x, y, qRgb(c.Red, c.Green, c.Blue));
            }
        return image;
    }
};

DecodedGif decode(const QByteArray& bytes)
{
    DecodedGif decoded{bytes, nullptr};
    MemoryReader reader{decoded.bytes};
    int error = 0;
    decoded.file.reset(DGifOpen(&reader, readFromMemory, &error));
    if (!decoded.file)
        ADD_FAILURE() << "DGifOpen: " << GifErrorString(error);
    else if (DGifSlurp(decoded.file.get()) != GIF_OK)
        ADD_FAILURE() << "DGifSlurp: " << GifErrorString(decoded.file->Error);
    return decoded;
}

// Black text on the sky-blue default background, as the Simple run draws it;
// the anti-aliased edges add a few dozen blends of the two.
QImage textLine(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(qRgb(166, 202, 240));
    QPainter painter(&image);
    painter.setPen(Qt::black);
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(std::max(height - 4, 1));
    painter.setFont(font);
    painter.drawText(1, height - 3, QStringLiteral("john.doe@example.org j@"));
    return image;
}

// A smooth two-way gradient of about 50,000 colours.
QImage gradient()
{
    QImage image(512, 512, QImage::Format_RGB32);
    for (int y = 0; y < 512; ++y)
        for (int x = 0; x < 512; ++x)
            image.setPixel(x, y, qRgb(16 + x * 7 / 16, 16 + y * 7 / 16, 16 + (x + y) * 7 / 32));
    return image;
}

int distinctColors(const QImage& image)
{
    QSet<QRgb> colors;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            colors.insert(image.pixel(x, y));
    return static_cast<int>(colors.size());
}

// Mean colour of a rectangle, per channel.
std::array<double, 3> meanColor(const QImage& image, const QRect& area)
{
    std::array<double, 3> sum{};
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb c = image.pixel(x, y);
            sum[0] += qRed(c);
            sum[1] += qGreen(c);
            sum[2] += qBlue(c);
        }
    for (double& channel : sum)
        channel /= static_cast<double>(area.width()) * area.height();
    return sum;
}

double meanAbsoluteError(const QImage& a, const QImage& b)
{
    double total = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            total += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
        }
    return total / (3.0 * a.width() * a.height());
}

TEST(GifEncoderTest, OneFrameWithoutExtensionsAndAMinimalColorTable)
{
    for (const QSize size : {QSize(1, 1), QSize(150, 15), QSize(3, 200), QSize(640, 39)}) {
        SCOPED_TRACE(testing::Message() << size.width() << "x" << size.height());
        const QImage image = textLine(size.width(), size.height());
        const DecodedGif gif = decode(encodeGif(image));
        ASSERT_TRUE(gif.file);

        EXPECT_TRUE(gif.bytes.startsWith("GIF87a"));
        EXPECT_EQ(gif.bytes.back(), ';');
        EXPECT_EQ(gif.file->ImageCount, 1);
        EXPECT_EQ(gif.file->ExtensionBlockCount, 0);
        EXPECT_EQ(gif.frame().ExtensionBlockCount, 0);
        EXPECT_EQ(gif.file->SWidth, size.width());
        EXPECT_EQ(gif.file->SHeight, size.height());
        EXPECT_EQ(gif.file->SColorResolution, 8);
        EXPECT_EQ(gif.frame().ImageDesc.Left, 0);
        EXPECT_EQ(gif.frame().ImageDesc.Top, 0);
        EXPECT_EQ(gif.frame().ImageDesc.Width, size.width());
        EXPECT_EQ(gif.frame().ImageDesc.Height, size.height());
        EXPECT_FALSE(gif.frame().ImageDesc.Interlace);

        // Every colour of the picture is in the table, so its size is the
        // power of two just covering them (at least 2).
        const int colors = distinctColors(image);
        ASSERT_LE(colors, 256);
        int expectedTable = 2;
        while (expectedTable < colors)
            expectedTable *= 2;
        ASSERT_TRUE(gif.colorTable());
        EXPECT_EQ(gif.colorTable()->ColorCount, expectedTable);
        EXPECT_EQ(gif.pixels(), image) << "a picture of few colours must come back exact";
    }
}

TEST(GifEncoderTest, ManyColorsAreDitheredIntoAtMost256)
{
    QImage image = gradient();
    const QRect patch(400, 32, 32, 32);
    const QRgb patchColor = qRgb(97, 145, 121);
    QPainter(&image).fillRect(patch, QColor(patchColor));
    const QImage original = image.copy();

    const DecodedGif gif = decode(encodeGif(image));
    ASSERT_TRUE(gif.file);
    EXPECT_EQ(image, original) << "the encoder changed its input";
    EXPECT_EQ(gif.colorTable()->ColorCount, 256);
    const QImage decoded = gif.pixels();
    EXPECT_LT(meanAbsoluteError(decoded, image), 6.0);

    // Dithering keeps local averages where a palette alone would band: every
    // 16 x 16 block of the gradient averages out close to the original. The
    // outer ring of blocks holds the gradient's extreme colours, beyond what
    // averaged palette entries reach, so it is left out.
    for (int y = 16; y < 496; y += 16)
        for (int x = 16; x < 384; x += 16) {
            const QRect block(x, y, 16, 16);
            const auto want = meanColor(image, block);
            const auto got = meanColor(decoded, block);
            for (int c = 0; c < 3; ++c)
                ASSERT_NEAR(got[c], want[c], 2.0) << "block at " << x << "," << y << " channel " << c;
        }

    // A flat area whose colour has no palette entry is drawn with a mix of
    // entries that averages to it.
    const QRect inside = patch.adjusted(4, 4, -4, -4);
    const ColorMapObject* table = gif.colorTable();
    for (int i = 0; i < table->ColorCount; ++i)
        ASSERT_NE(qRgb(table->Colors[i].Red, table->Colors[i].Green, table->Colors[i].Blue), patchColor)
            << "the flat colour must lie off the palette for this check";
    EXPECT_GT(distinctColors(decoded.copy(inside)), 1);
    const auto got = meanColor(decoded, inside);
    EXPECT_NEAR(got[0], qRed(patchColor), 1.5);
    EXPECT_NEAR(got[1], qGreen(patchColor), 1.5);
    EXPECT_NEAR(got[2], qBlue(patchColor), 1.5);
}

TEST(GifEncoderTest, NoiseKeepsItsOverallColor)
{
    QImage noise(1000, 1000, QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < noise.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(noise.scanLine(y));
        for (int x = 0; x < noise.width(); ++x)
            row[x] = 0xff000000u | (random.generate() & 0xffffffu);
    }
    const DecodedGif gif = decode(encodeGif(noise));
    ASSERT_TRUE(gif.file);
    EXPECT_LE(gif.colorTable()->ColorCount, 256);
    const QRect all = noise.rect();
    const auto want = meanColor(noise, all);
    const auto got = meanColor(gif.pixels(), all);
    for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(got[c], want[c], 1.0) << "channel " << c;
}

TEST(GifEncoderTest, OtherPixelFormatsAreReadByColor)
{
    const QImage rgb32 = textLine(120, 20);
    for (QImage::Format format : {QImage::Format_RGB888, QImage::Format_ARGB32_Premultiplied}) {
        const QImage converted = rgb32.convertToFormat(format);
        EXPECT_EQ(decode(encodeGif(converted)).pixels(), rgb32) << format;
    }
}

TEST(GifEncoderTest, SidesBeyondTheFormatLimitAreRefusedByName)
{
    const QImage tooWide(70000, 1, QImage::Format_RGB32);
    try {
        encodeGif(tooWide);
        FAIL() << "no error";
    } catch (const AppError& error) {
        EXPECT_EQ(error.message(),
                  QString::fromUtf8("GIF cannot hold an image of 70000 × 1 pixels (at most 65535 pixels a side)"));
    }
}

} // namespace
} // namespace pennolux
