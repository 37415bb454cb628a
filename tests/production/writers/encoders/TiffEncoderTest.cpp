#include <gtest/gtest.h>
#include <tiffio.h>

#include <vector>

#include "IsolatedHomeTest.h"
#include "WriterTestImages.h"
#include "production/writers/ImageEncoders.h"

namespace pennolux {
namespace {

using namespace pennolux::testing;

class TiffEncoder : public IsolatedHomeTest {};

TEST_F(TiffEncoder, WritesOneLzwFrameOfEightBitRgbThatDecodesToTheExactPixels)
{
    const QImage image = NoiseImage(150, 40, 5);
    const QString path = scratch() + "/picture.tiff";
    WriteWholeFile(path, encodeTiff(image));

    TIFF* tiff = TIFFOpen(path.toLocal8Bit().constData(), "r");
    ASSERT_NE(tiff, nullptr);
    uint32_t width = 0;
    uint32_t height = 0;
    uint16_t bitsPerSample = 0;
    uint16_t samplesPerPixel = 0;
    uint16_t photometric = 0;
    uint16_t compression = 0;
    TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &height);
    TIFFGetField(tiff, TIFFTAG_BITSPERSAMPLE, &bitsPerSample);
    TIFFGetField(tiff, TIFFTAG_SAMPLESPERPIXEL, &samplesPerPixel);
    TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &photometric);
    TIFFGetField(tiff, TIFFTAG_COMPRESSION, &compression);
    EXPECT_EQ(width, 150U);
    EXPECT_EQ(height, 40U);
    EXPECT_EQ(bitsPerSample, 8);
    EXPECT_EQ(samplesPerPixel, 3);
    EXPECT_EQ(photometric, PHOTOMETRIC_RGB);
    EXPECT_EQ(compression, COMPRESSION_LZW);
    EXPECT_EQ(TIFFNumberOfDirectories(tiff), 1);

    std::vector<uint32_t> raster(size_t(width) * height);
    ASSERT_TRUE(TIFFReadRGBAImageOriented(tiff, width, height, raster.data(), ORIENTATION_TOPLEFT, 0));
    TIFFClose(tiff);
    QImage decoded(int(width), int(height), QImage::Format_RGB888);
    for (int y = 0; y < int(height); ++y) {
        for (int x = 0; x < int(width); ++x) {
            const uint32_t abgr = raster[size_t(y) * width + size_t(x)];
            decoded.setPixel(x, y, qRgb(int(TIFFGetR(abgr)), int(TIFFGetG(abgr)), int(TIFFGetB(abgr))));
        }
    }
    EXPECT_EQ(decoded, AsRgb888(image));
}

} // namespace
} // namespace pennolux
