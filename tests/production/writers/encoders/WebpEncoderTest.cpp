#include <gtest/gtest.h>
#include <webp/decode.h>

#include "WriterTestImages.h"
#include "platform/AppError.h"
#include "production/writers/ImageEncoders.h"

namespace pennolux {
namespace {

using namespace pennolux::testing;

QList<QByteArray> RiffChunkTypes(const QByteArray& webp)
{
    QList<QByteArray> types;
    EXPECT_EQ(webp.left(4), "RIFF");
    EXPECT_EQ(LittleEndian32(webp, 4), uint32_t(webp.size() - 8));
    EXPECT_EQ(webp.mid(8, 4), "WEBP");
    qsizetype at = 12;
    while (at + 8 <= webp.size()) {
        types.append(webp.mid(at, 4));
        at += 8 + qsizetype((LittleEndian32(webp, at + 4) + 1) & ~1U);
    }
    EXPECT_EQ(at, webp.size());
    return types;
}

TEST(WebpEncoder, WritesOneOpaqueLossyChunkThatDecodesCloseToThePicture)
{
    const QImage image = GradientImage(150, 15);
    const QByteArray webp = encodeWebp(image);

    EXPECT_EQ(RiffChunkTypes(webp), QList<QByteArray>{"VP8 "});
    WebPBitstreamFeatures features {};
    ASSERT_EQ(WebPGetFeatures(reinterpret_cast<const uint8_t*>(webp.constData()), size_t(webp.size()), &features),
              VP8_STATUS_OK);
    EXPECT_FALSE(features.has_alpha);
    EXPECT_EQ(features.format, 1); // lossy

    int width = 0;
    int height = 0;
    uint8_t* rgb = WebPDecodeRGB(reinterpret_cast<const uint8_t*>(webp.constData()), size_t(webp.size()), &width,
                                 &height);
    ASSERT_NE(rgb, nullptr);
    const QImage decoded = QImage(rgb, width, height, width * 3, QImage::Format_RGB888).copy();
    WebPFree(rgb);
    ASSERT_EQ(decoded.size(), image.size());
    EXPECT_LT(MeanChannelDifference(decoded, AsRgb888(image)), 4.0);
}

TEST(WebpEncoder, RefusesMoreThan16383PixelsASide)
{
    EXPECT_NO_THROW(encodeWebp(QImage(16383, 2, QImage::Format_RGB32)));
    try {
        encodeWebp(QImage(20000, 15, QImage::Format_RGB32));
        FAIL() << "no error";
    } catch (const AppError& error) {
        EXPECT_EQ(error.message(),
                  QString::fromUtf8("WEBP cannot hold an image of 20000 × 15 pixels (at most 16383 pixels a side)"));
    }
}

} // namespace
} // namespace pennolux
