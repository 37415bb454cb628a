#include <gtest/gtest.h>

#include <future>
#include <vector>

#include "WriterTestImages.h"
#include "production/writers/ImageEncoders.h"

namespace pennolux {
namespace {

using namespace pennolux::testing;

// The writers of this folder; the GIF writer has its own tests.
class EncoderContract : public ::testing::TestWithParam<ImageFormat> {
protected:
    QByteArray encode(const QImage& image) const { return encoderFor(GetParam())(image); }
};

TEST_P(EncoderContract, LeavesTheImageAsItWas)
{
    const QImage image = NoiseImage(61, 17, 11);
    const QImage before = image.copy();
    const uchar* pixels = image.constBits();
    encode(image);
    EXPECT_EQ(image.constBits(), pixels);
    EXPECT_EQ(image, before);
}

TEST_P(EncoderContract, ReadsOnlyTheColorOfOtherPixelLayouts)
{
    const QImage image = GradientImage(48, 20);
    const QByteArray expected = encode(image);
    EXPECT_EQ(encode(image.convertToFormat(QImage::Format_RGB888)), expected);
    if (GetParam() == ImageFormat::BMP)
        return; // keeps the fourth byte as the image holds it
    QImage translucent = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < translucent.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(translucent.scanLine(y));
        for (int x = 0; x < translucent.width(); ++x)
            row[x] = (row[x] & 0xFFFFFFU) | (uint(x * 5) << 24);
    }
    EXPECT_EQ(encode(translucent), expected);
}

TEST_P(EncoderContract, GivesTheSameBytesWhenThreadsEncodeAtOnce)
{
    std::vector<QImage> images;
    std::vector<QByteArray> expected;
    for (std::uint32_t seed = 0; seed < 12; ++seed) {
        images.push_back(NoiseImage(150 + int(seed), 15, seed));
        expected.push_back(encode(images.back()));
    }
    std::vector<std::future<std::vector<QByteArray>>> workers;
    for (int thread = 0; thread < 4; ++thread) {
        workers.push_back(std::async(std::launch::async, [&] {
            std::vector<QByteArray> results;
            for (int round = 0; round < 5; ++round) {
                for (const QImage& image : images)
                    results.push_back(encode(image));
            }
            return results;
        }));
    }
    for (auto& worker : workers) {
        const std::vector<QByteArray> results = worker.get();
        for (size_t i = 0; i < results.size(); ++i)
            EXPECT_EQ(results[i], expected[i % expected.size()]) << "image " << i % expected.size();
    }
}

INSTANTIATE_TEST_SUITE_P(Writers, EncoderContract,
                         ::testing::Values(ImageFormat::PNG, ImageFormat::JPEG, ImageFormat::TIFF, ImageFormat::WEBP,
                                           ImageFormat::BMP),
                         [](const ::testing::TestParamInfo<ImageFormat>& format) {
                             return extensionFor(format.param).mid(1).toStdString();
                         });

} // namespace
} // namespace pennolux
