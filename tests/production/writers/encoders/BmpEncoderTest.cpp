#include <gtest/gtest.h>

#include "WriterTestImages.h"
#include "production/writers/ImageEncoders.h"

namespace pennolux {
namespace {

using namespace pennolux::testing;

TEST(BmpEncoder, WritesA54ByteHeaderAndThirtyTwoBitRowsBottomUp)
{
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(qRgb(0x10, 0x20, 0x30)); // top row
    for (int x = 0; x < 3; ++x)
        image.setPixel(x, 1, qRgb(0xA0 + x, 0xB0, 0xC0)); // bottom row
    const QByteArray bmp = encodeBmp(image);

    ASSERT_EQ(bmp.size(), 54 + 3 * 2 * 4);
    EXPECT_EQ(bmp.left(2), "BM");
    EXPECT_EQ(LittleEndian32(bmp, 2), uint32_t(bmp.size()));
    EXPECT_EQ(LittleEndian32(bmp, 6), 0U); // reserved
    EXPECT_EQ(LittleEndian32(bmp, 10), 54U);
    EXPECT_EQ(LittleEndian32(bmp, 14), 40U);
    EXPECT_EQ(LittleEndian32(bmp, 18), 3U);
    EXPECT_EQ(LittleEndian32(bmp, 22), 2U); // positive: bottom-up
    EXPECT_EQ(LittleEndian16(bmp, 26), 1);  // planes
    EXPECT_EQ(LittleEndian16(bmp, 28), 32);
    EXPECT_EQ(LittleEndian32(bmp, 30), 0U); // no compression
    EXPECT_EQ(LittleEndian32(bmp, 34), 24U);
    EXPECT_EQ(bmp.mid(38, 16), QByteArray(16, '\0')); // resolution, colours used and important

    EXPECT_EQ(bmp.mid(54, 12), QByteArray("\xC0\xB0\xA0\xFF\xC0\xB0\xA1\xFF\xC0\xB0\xA2\xFF", 12));
    EXPECT_EQ(bmp.mid(66, 12), QByteArray("\x30\x20\x10\xFF\x30\x20\x10\xFF\x30\x20\x10\xFF", 12));
    EXPECT_EQ(QImage::fromData(bmp, "BMP").convertToFormat(QImage::Format_RGB32), image);
}

TEST(BmpEncoder, KeepsTheFourthByteAsTheImageHoldsIt)
{
    QImage image(1, 1, QImage::Format_ARGB32);
    image.setPixel(0, 0, qRgba(1, 2, 3, 4));
    EXPECT_EQ(encodeBmp(image).mid(54), QByteArray("\x03\x02\x01\x04", 4));
}

} // namespace
} // namespace pennolux
