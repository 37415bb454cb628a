#include <gtest/gtest.h>

#include <QImage>
#include <QSet>

#include <stdexcept>

#include "production/writers/encoders/OctreeQuantizer.h"

namespace pennolux {
namespace {

// Every one of the 4,096 colours with channels that are multiples of 17.
QImage manyColors()
{
    QImage image(64, 64, QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const int n = y * 64 + x;
            image.setPixel(x, y, qRgb((n & 15) * 17, ((n >> 4) & 15) * 17, ((n >> 8) & 15) * 17));
        }
    return image;
}

TEST(OctreeQuantizerTest, PaletteNeverExceedsTheLimitAndComesClose)
{
    const QImage image = manyColors();
    for (int maxColors : {1, 2, 16, 100, 256}) {
        OctreeQuantizer quantizer(image, maxColors);
        const int size = static_cast<int>(quantizer.palette().size());
        EXPECT_LE(size, maxColors) << maxColors;
        // A merge folds at most eight leaves into one.
        EXPECT_GT(size, maxColors - 8) << maxColors;
        EXPECT_EQ(QSet<QRgb>(quantizer.palette().begin(), quantizer.palette().end()).size(), size)
            << "entries repeat for " << maxColors;
    }
    EXPECT_THROW(OctreeQuantizer(image, 0), std::invalid_argument);
    EXPECT_THROW(OctreeQuantizer(image, 257), std::invalid_argument);
}

TEST(OctreeQuantizerTest, TwoColorImageGivesTwoExactEntriesAndExactIndices)
{
    QImage image(7, 3, QImage::Format_RGB32);
    image.fill(qRgb(10, 200, 30));
    image.setPixel(3, 1, qRgb(250, 5, 99));
    OctreeQuantizer quantizer(image);
    const auto& palette = quantizer.palette();
    ASSERT_EQ(palette.size(), 2);
    EXPECT_TRUE(palette.contains(qRgb(10, 200, 30)));
    EXPECT_TRUE(palette.contains(qRgb(250, 5, 99)));

    const std::vector<std::uint8_t> indices = quantizer.ditherToIndices(image);
    ASSERT_EQ(indices.size(), 21u);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 7; ++x)
            EXPECT_EQ(palette[indices[y * 7 + x]], image.pixel(x, y)) << x << "," << y;
}

TEST(OctreeQuantizerTest, ColorsOffTheTreeMapToTheNearestEntry)
{
    QImage image(2, 1, QImage::Format_RGB32);
    image.setPixel(0, 0, qRgb(0, 0, 0));
    image.setPixel(1, 0, qRgb(255, 255, 255));
    OctreeQuantizer quantizer(image);
    const auto& palette = quantizer.palette();
    EXPECT_EQ(palette[quantizer.indexOf(20, 30, 10)], qRgb(0, 0, 0));
    EXPECT_EQ(palette[quantizer.indexOf(230, 200, 250)], qRgb(255, 255, 255));
}

TEST(OctreeQuantizerTest, IgnoresTheFourthByteAndHandlesOtherFormats)
{
    QImage argb(2, 1, QImage::Format_ARGB32);
    argb.setPixel(0, 0, qRgba(40, 50, 60, 0));
    argb.setPixel(1, 0, qRgba(40, 50, 60, 255));
    EXPECT_EQ(OctreeQuantizer(argb).palette(), QList<QRgb>{qRgb(40, 50, 60)});

    QImage rgb888(3, 3, QImage::Format_RGB888);
    rgb888.fill(QColor(1, 2, 3));
    EXPECT_EQ(OctreeQuantizer(rgb888).palette(), QList<QRgb>{qRgb(1, 2, 3)});
}

TEST(OctreeQuantizerTest, EmptyImageGivesEmptyPalette)
{
    OctreeQuantizer quantizer{QImage()};
    EXPECT_TRUE(quantizer.palette().isEmpty());
    EXPECT_TRUE(quantizer.ditherToIndices(QImage()).empty());
}

} // namespace
} // namespace pennolux
