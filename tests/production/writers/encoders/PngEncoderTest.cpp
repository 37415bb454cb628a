#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <algorithm>

#include "WriterTestImages.h"
#include "production/writers/ImageEncoders.h"

namespace pennolux {
namespace {

using namespace pennolux::testing;

struct PngChunk {
    QByteArray type;
    QByteArray data;
};

std::vector<PngChunk> ChunksOf(const QByteArray& png)
{
    std::vector<PngChunk> chunks;
    EXPECT_EQ(png.left(8), QByteArray("\x89PNG\r\n\x1a\n", 8));
    qsizetype at = 8;
    while (at + 12 <= png.size()) {
        const auto length = qsizetype(BigEndian32(png, at));
        PngChunk chunk {png.mid(at + 4, 4), png.mid(at + 8, length)};
        const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(png.constData() + at + 4), uInt(length + 4));
        EXPECT_EQ(BigEndian32(png, at + 8 + length), crc) << chunk.type.toStdString();
        chunks.push_back(chunk);
        at += 12 + length;
    }
    EXPECT_EQ(at, png.size());
    return chunks;
}

QByteArray InflatedImageData(const std::vector<PngChunk>& chunks, qsizetype expectedSize)
{
    QByteArray compressed;
    for (const PngChunk& chunk : chunks) {
        if (chunk.type == "IDAT")
            compressed += chunk.data;
    }
    QByteArray raw(expectedSize, '\0');
    uLongf rawSize = uLongf(expectedSize);
    EXPECT_EQ(uncompress(reinterpret_cast<Bytef*>(raw.data()), &rawSize,
                         reinterpret_cast<const Bytef*>(compressed.constData()), uLong(compressed.size())),
              Z_OK);
    EXPECT_EQ(qsizetype(rawSize), expectedSize);
    return raw;
}

QImage DecodeWithLibpng(const QByteArray& png)
{
    png_image decoded {};
    decoded.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&decoded, png.constData(), size_t(png.size())))
        return {};
    decoded.format = PNG_FORMAT_RGB;
    QImage image(int(decoded.width), int(decoded.height), QImage::Format_RGB888);
    if (!png_image_finish_read(&decoded, nullptr, image.bits(), png_int_32(image.bytesPerLine()), nullptr))
        return {};
    return image;
}

TEST(PngEncoder, WritesEightBitRgbWithEveryRowSubFilteredAndNothingButImageChunks)
{
    const QImage image = NoiseImage(37, 11);
    const std::vector<PngChunk> chunks = ChunksOf(encodePng(image));

    ASSERT_GE(chunks.size(), 3U);
    EXPECT_EQ(chunks.front().type, "IHDR");
    EXPECT_EQ(chunks.back().type, "IEND");
    for (size_t i = 1; i + 1 < chunks.size(); ++i)
        EXPECT_EQ(chunks[i].type, "IDAT") << i;

    const QByteArray& header = chunks.front().data;
    ASSERT_EQ(header.size(), 13);
    EXPECT_EQ(BigEndian32(header, 0), 37U);
    EXPECT_EQ(BigEndian32(header, 4), 11U);
    EXPECT_EQ(header.mid(8), QByteArray("\x08\x02\x00\x00\x00", 5)); // depth, colour type, methods, interlace

    const qsizetype rowSize = 1 + 37 * 3;
    const QByteArray raw = InflatedImageData(chunks, rowSize * 11);
    for (int y = 0; y < 11; ++y)
        EXPECT_EQ(raw[y * rowSize], 1) << "row " << y;
}

TEST(PngEncoder, RoundTripsEveryPixelExactlyWithASmallPictureInOneIdat)
{
    const QImage image = NoiseImage(150, 15, 7); // incompressible: deflate's worst case
    const QByteArray png = encodePng(image);
    const std::vector<PngChunk> chunks = ChunksOf(png);
    EXPECT_EQ(std::count_if(chunks.begin(), chunks.end(), [](const PngChunk& c) { return c.type == "IDAT"; }), 1);
    EXPECT_EQ(DecodeWithLibpng(png), AsRgb888(image));
}

TEST(PngEncoder, SplitsImageDataIntoIdatChunksOfAtMost65535Bytes)
{
    const QImage image = NoiseImage(1000, 700, 3);
    const QByteArray png = encodePng(image);
    const std::vector<PngChunk> chunks = ChunksOf(png);

    int fullChunks = 0;
    int idatChunks = 0;
    for (const PngChunk& chunk : chunks) {
        if (chunk.type != "IDAT")
            continue;
        ++idatChunks;
        EXPECT_LE(chunk.data.size(), 65535);
        fullChunks += chunk.data.size() == 65535;
    }
    EXPECT_GT(idatChunks, 20);
    EXPECT_EQ(fullChunks, idatChunks - 1);
    EXPECT_EQ(DecodeWithLibpng(png), AsRgb888(image));
}

TEST(PngEncoder, WritesAnIndexedImageWithItsPalette)
{
    QImage image(5, 3, QImage::Format_Indexed8);
    image.setColorTable({qRgb(255, 0, 0), qRgb(0, 128, 0), qRgb(1, 2, 3)});
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x)
            image.setPixel(x, y, uint((x + y) % 3));
    }
    const QByteArray png = encodePng(image);
    const std::vector<PngChunk> chunks = ChunksOf(png);

    ASSERT_GE(chunks.size(), 4U);
    EXPECT_EQ(chunks[0].data[9], 3); // colour type: palette
    EXPECT_EQ(chunks[1].type, "PLTE");
    EXPECT_EQ(chunks[1].data, QByteArray("\xff\x00\x00\x00\x80\x00\x01\x02\x03", 9));
    const QByteArray raw = InflatedImageData(chunks, (1 + 5) * 3);
    for (int y = 0; y < 3; ++y)
        EXPECT_EQ(raw[y * 6], 1) << "row " << y;
    EXPECT_EQ(DecodeWithLibpng(png), AsRgb888(image));
}

} // namespace
} // namespace pennolux
