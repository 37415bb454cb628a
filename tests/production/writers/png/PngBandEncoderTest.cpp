#include <gtest/gtest.h>
#include <libdeflate.h>
#include <zlib.h>

#include <memory>
#include <random>

#include "PngFileChecks.h"
#include "WriterTestImages.h"
#include "production/writers/png/ContinuableDeflate.h"
#include "production/writers/ImageOutput.h"
#include "production/writers/png/PngBandEncoder.h"

namespace pennolux {
namespace {

using namespace pennolux::testing;

// A picture with smooth and noisy parts, as a template's canvas has.
QImage CanvasLike(int width, int height)
{
    QImage image = GradientImage(width, height).convertToFormat(QImage::Format_RGB32);
    const QImage noise = NoiseImage(width / 3, height, 5);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < noise.width(); ++x)
            image.setPixel(width - noise.width() + x, y, noise.pixel(x, y));
    return image;
}

// The image with new pixels in rows [top, end), as a line's text gives them.
QImage WithBand(const QImage& image, int top, int end, std::uint32_t seed)
{
    QImage changed = image.copy();
    const QImage noise = NoiseImage(image.width() / 2, std::max(end - top, 1), seed);
    for (int y = top; y < end; ++y)
        for (int x = 0; x < noise.width(); ++x)
            changed.setPixel(image.width() / 4 + x, y, noise.pixel(x, y - top));
    return changed;
}

void ExpectPngOfSettings(const QByteArray& png, const QImage& expected)
{
    const std::vector<PngChunk> chunks = ChunksOf(png);
    ASSERT_GE(chunks.size(), 3U);
    EXPECT_EQ(chunks.front().type, "IHDR");
    EXPECT_EQ(chunks.front().data.mid(8), QByteArray("\x08\x02\x00\x00\x00", 5));
    EXPECT_EQ(chunks.back().type, "IEND");
    for (std::size_t i = 1; i + 1 < chunks.size(); ++i) {
        EXPECT_EQ(chunks[i].type, "IDAT");
        EXPECT_LE(chunks[i].data.size(), 65535);
        if (i + 2 < chunks.size()) {
            EXPECT_EQ(chunks[i].data.size(), 65535) << "only the last IDAT may be short";
        }
    }
    // The header of zlib's level 7.
    EXPECT_EQ(chunks[1].data.left(2), QByteArray("\x78\xDA", 2));
    const qsizetype rowBytes = 1 + qsizetype(expected.width()) * 3;
    const QByteArray raw = InflatedImageData(chunks, rowBytes * expected.height());
    for (int y = 0; y < expected.height(); ++y)
        ASSERT_EQ(raw[y * rowBytes], 1) << "row " << y << " is not Sub-filtered";
    EXPECT_EQ(DecodeWithLibpng(png), AsRgb888(expected));
}

struct Band {
    int top;
    int end;
};

class PngBandEncoderTest : public ::testing::TestWithParam<Band> {};

TEST_P(PngBandEncoderTest, EveryImageDecodesToItsOwnPixelsInTheFormatsSettings)
{
    const QImage constant = CanvasLike(97, 60);
    const auto plan = std::make_shared<const PngBandPlan>(constant, GetParam().top, GetParam().end);
    PngBandEncoder encoder(plan);
    for (std::uint32_t seed = 1; seed <= 4; ++seed) {
        SCOPED_TRACE(seed);
        const QImage image = WithBand(constant, GetParam().top, GetParam().end, seed);
        ExpectPngOfSettings(encoder.encode(image), image);
    }
}

INSTANTIATE_TEST_SUITE_P(Bands, PngBandEncoderTest,
                         ::testing::Values(Band{20, 45}, Band{0, 12}, Band{41, 60}, Band{0, 60}, Band{30, 31},
                                           Band{30, 30}));

struct Bands {
    std::vector<RowBand> given;
    std::vector<RowBand> merged;
};

class PngBandsEncoderTest : public ::testing::TestWithParam<Bands> {};

// Several bands, given in any order, at the first and last rows, touching
// and overlapping: each image decodes to its own pixels, as the image
// compressed whole does.
TEST_P(PngBandsEncoderTest, EveryImageDecodesToItsOwnPixelsAsTheWholeImageDoes)
{
    const QImage constant = CanvasLike(97, 60);
    const auto plan = std::make_shared<const PngBandPlan>(constant, GetParam().given);
    EXPECT_EQ(plan->bands(), GetParam().merged);
    ASSERT_EQ(plan->constantPieces().size(), plan->bands().size() + 1);
    PngBandEncoder encoder(plan);
    for (std::uint32_t seed = 1; seed <= 3; ++seed) {
        SCOPED_TRACE(seed);
        QImage image = constant;
        for (const RowBand& band : GetParam().given)
            image = WithBand(image, band.top, band.end, seed * 10 + std::uint32_t(band.top));
        const QByteArray png = encoder.encode(image);
        ExpectPngOfSettings(png, image);
        EXPECT_EQ(DecodeWithLibpng(png), DecodeWithLibpng(encodeImage(image, ImageFormat::PNG)));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Bands, PngBandsEncoderTest,
    ::testing::Values(Bands{{{0, 5}, {30, 40}}, {{0, 5}, {30, 40}}},
                      Bands{{{50, 60}, {0, 1}}, {{0, 1}, {50, 60}}},
                      Bands{{{0, 1}, {59, 60}, {29, 31}}, {{0, 1}, {29, 31}, {59, 60}}},
                      Bands{{{10, 20}, {20, 30}}, {{10, 30}}},
                      Bands{{{10, 25}, {20, 30}, {45, 50}}, {{10, 30}, {45, 50}}},
                      Bands{{{-5, 3}, {55, 90}, {20, 20}}, {{0, 3}, {20, 20}, {55, 60}}},
                      Bands{{{0, 60}, {10, 20}}, {{0, 60}}}));

TEST(PngBandEncoder, SplitsALargeImageIntoFullIdatChunks)
{
    const QImage constant = CanvasLike(1000, 700);
    const auto plan = std::make_shared<const PngBandPlan>(constant, 300, 380);
    PngBandEncoder encoder(plan);
    const QImage image = WithBand(constant, 300, 380, 9);
    const QByteArray png = encoder.encode(image);
    EXPECT_GT(png.size(), 10 * 65535);
    ExpectPngOfSettings(png, image);
}

QByteArray Inflated(const std::vector<std::uint8_t>& stream, std::size_t expected)
{
    QByteArray out(qsizetype(expected) + 1, '\0');
    z_stream inflater{};
    EXPECT_EQ(inflateInit2(&inflater, -15), Z_OK);
    inflater.next_in = const_cast<Bytef*>(stream.data());
    inflater.avail_in = uInt(stream.size());
    inflater.next_out = reinterpret_cast<Bytef*>(out.data());
    inflater.avail_out = uInt(out.size());
    EXPECT_EQ(inflate(&inflater, Z_FINISH), Z_STREAM_END);
    EXPECT_EQ(inflater.avail_in, 0U);
    out.resize(qsizetype(inflater.total_out));
    inflateEnd(&inflater);
    return out;
}

std::vector<std::uint8_t> Compressed(const QByteArray& data)
{
    libdeflate_compressor* compressor = libdeflate_alloc_compressor(7);
    std::vector<std::uint8_t> out(libdeflate_deflate_compress_bound(compressor, std::size_t(data.size())));
    out.resize(libdeflate_deflate_compress(compressor, data.constData(), std::size_t(data.size()), out.data(),
                                           out.size()));
    libdeflate_free_compressor(compressor);
    return out;
}

// Pieces ending at every bit of a byte, in stored, fixed and dynamic blocks,
// one block and many: each opened piece, followed by a final one, inflates
// to both pieces' data.
TEST(ContinuableDeflate, APieceOpenedAtItsEndTakesAnyPieceAfterIt)
{
    std::mt19937 random(3);
    std::vector<QByteArray> pieces;
    for (int size = 1; size <= 40; ++size) {
        QByteArray text;
        for (int i = 0; i < size; ++i)
            text += char('a' + random() % 3);
        pieces.push_back(text);
    }
    QByteArray noise(200'000, '\0');
    for (char& byte : noise)
        byte = char(random());
    pieces.push_back(noise);
    pieces.push_back(QByteArray(3'000'000, 'x') + noise);
    ContinuableDeflate continuable;
    const QByteArray after = "and the rows below";
    for (const QByteArray& data : pieces) {
        SCOPED_TRACE(data.size());
        std::vector<std::uint8_t> stream = Compressed(data);
        continuable.openEnd(stream);
        ASSERT_GE(stream.size(), 4U);
        EXPECT_EQ(std::vector<std::uint8_t>(stream.end() - 4, stream.end()),
                  (std::vector<std::uint8_t>{0x00, 0x00, 0xFF, 0xFF}));
        const std::vector<std::uint8_t> last = Compressed(after);
        stream.insert(stream.end(), last.begin(), last.end());
        EXPECT_EQ(Inflated(stream, std::size_t(data.size() + after.size())), data + after);
    }
}

} // namespace
} // namespace pennolux
