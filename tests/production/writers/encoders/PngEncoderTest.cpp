#include <gtest/gtest.h>

#include <algorithm>

#include "PngFileChecks.h"
#include "WriterTestImages.h"
#include "production/writers/ImageEncoders.h"

namespace pennolux {
namespace {

using namespace pennolux::testing;

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

    // zlib's header of level 7, whichever library compressed the rows.
    EXPECT_EQ(chunks[1].data.left(2), QByteArray("\x78\xDA", 2));
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

// Image data beyond what is compressed in one piece streams through libpng,
// in the same format.
TEST(PngEncoder, AVeryLargeImageHasTheSameSettings)
{
    const QImage image = GradientImage(3500, 3300);
    const QByteArray png = encodePng(image);
    const std::vector<PngChunk> chunks = ChunksOf(png);
    ASSERT_GE(chunks.size(), 3U);
    EXPECT_EQ(chunks.front().data.mid(8), QByteArray("\x08\x02\x00\x00\x00", 5));
    EXPECT_EQ(chunks[1].data.left(2), QByteArray("\x78\xDA", 2));
    for (size_t i = 1; i + 1 < chunks.size(); ++i) {
        EXPECT_EQ(chunks[i].type, "IDAT");
        EXPECT_LE(chunks[i].data.size(), 65535);
    }
    const qsizetype rowSize = 1 + 3500 * 3;
    const QByteArray raw = InflatedImageData(chunks, rowSize * 3300);
    for (int y = 0; y < 3300; y += 97)
        EXPECT_EQ(raw[y * rowSize], 1) << "row " << y;
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
