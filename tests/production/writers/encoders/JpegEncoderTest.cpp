#include <gtest/gtest.h>

#include <cstdio>
#include <jpeglib.h>

#include <algorithm>
#include <array>
#include <map>

#include "WriterTestImages.h"
#include "production/writers/ImageEncoders.h"

namespace pennolux {
namespace {

using namespace pennolux::testing;

// The example tables of the JPEG standard (Annex K), in natural order.
constexpr std::array<int, 64> kLuminanceTable = {
    16, 11, 10, 16, 24,  40,  51,  61,  12, 12, 14, 19, 26,  58,  60,  55,
    14, 13, 16, 24, 40,  57,  69,  56,  14, 17, 22, 29, 51,  87,  80,  62,
    18, 22, 37, 56, 68,  109, 103, 77,  24, 35, 55, 64, 81,  104, 113, 92,
    49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99};
constexpr std::array<int, 64> kChrominanceTable = {
    17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99, 24, 26, 56, 99, 99, 99,
    99, 99, 47, 66, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99,
    99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99};
// Natural-order index of each zigzag position, the order DQT stores entries in.
constexpr std::array<int, 64> kZigzagToNatural = {
    0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
    41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
    30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

// Quality 90 scales the tables to 20 %, rounded, and never below 1.
QByteArray Quality90InZigzagOrder(const std::array<int, 64>& table)
{
    QByteArray scaled;
    for (int natural : kZigzagToNatural)
        scaled.append(char(std::max(1, (table[size_t(natural)] * 20 + 50) / 100)));
    return scaled;
}

struct JpegMarkers {
    std::vector<int> markers;                 // in file order, up to the first SOS
    std::map<int, QByteArray> segmentByMarker; // the last segment of each marker
    std::map<int, QByteArray> quantTables;     // by table id
};

JpegMarkers MarkersOf(const QByteArray& jpeg)
{
    JpegMarkers result;
    EXPECT_EQ(jpeg.left(2), QByteArray("\xff\xd8", 2));
    qsizetype at = 2;
    while (at + 4 <= jpeg.size() && uchar(jpeg[at]) == 0xFF) {
        const int marker = uchar(jpeg[at + 1]);
        const int length = (uchar(jpeg[at + 2]) << 8) | uchar(jpeg[at + 3]);
        const QByteArray segment = jpeg.mid(at + 4, length - 2);
        result.markers.push_back(marker);
        result.segmentByMarker[marker] = segment;
        if (marker == 0xDB) {
            for (qsizetype t = 0; t + 65 <= segment.size(); t += 65)
                result.quantTables[segment[t] & 0x0F] = segment.mid(t + 1, 64); // 8-bit entries
        }
        if (marker == 0xDA)
            break;
        at += 2 + length;
    }
    return result;
}

QImage DecodeWithLibjpeg(const QByteArray& jpeg)
{
    jpeg_decompress_struct info {};
    jpeg_error_mgr errors {};
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(jpeg.constData()), static_cast<unsigned long>(jpeg.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    QImage image(int(info.output_width), int(info.output_height), QImage::Format_RGB888);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = image.scanLine(int(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return image;
}

TEST(JpegEncoder, WritesBaselineJfifWithQuality90TablesAndChromaSampledHalf)
{
    const QByteArray jpeg = encodeJpeg(GradientImage(150, 15));
    const JpegMarkers found = MarkersOf(jpeg);

    ASSERT_FALSE(found.markers.empty());
    EXPECT_EQ(found.markers.front(), 0xE0);
    EXPECT_EQ(found.segmentByMarker.at(0xE0).left(5), QByteArray("JFIF\0", 5));
    EXPECT_EQ(std::count(found.markers.begin(), found.markers.end(), 0xC2), 0) << "progressive";
    EXPECT_EQ(std::count(found.markers.begin(), found.markers.end(), 0xDD), 0) << "restart interval";
    ASSERT_EQ(found.segmentByMarker.count(0xC0), 1U) << "baseline frame";

    const QByteArray& frame = found.segmentByMarker.at(0xC0);
    ASSERT_EQ(frame.size(), 6 + 3 * 3);
    EXPECT_EQ(frame[0], 8);                                   // precision
    EXPECT_EQ((uchar(frame[1]) << 8) | uchar(frame[2]), 15); // height
    EXPECT_EQ((uchar(frame[3]) << 8) | uchar(frame[4]), 150);
    EXPECT_EQ(frame[5], 3);
    EXPECT_EQ(uchar(frame[7]), 0x22); // Y: 2 x 2
    EXPECT_EQ(uchar(frame[10]), 0x11);
    EXPECT_EQ(uchar(frame[13]), 0x11);
    EXPECT_EQ(frame[8], 0); // Y uses table 0, Cb and Cr table 1
    EXPECT_EQ(frame[11], 1);
    EXPECT_EQ(frame[14], 1);

    ASSERT_EQ(found.quantTables.size(), 2U);
    EXPECT_EQ(found.quantTables.at(0), Quality90InZigzagOrder(kLuminanceTable));
    EXPECT_EQ(found.quantTables.at(0)[0], 3);
    EXPECT_EQ(found.quantTables.at(1), Quality90InZigzagOrder(kChrominanceTable));
}

TEST(JpegEncoder, DecodesToThePictureAtItsSize)
{
    const QImage image = GradientImage(150, 15);
    const QImage decoded = DecodeWithLibjpeg(encodeJpeg(image));
    ASSERT_EQ(decoded.size(), image.size());
    EXPECT_LT(MeanChannelDifference(decoded, AsRgb888(image)), 3.0);
}

} // namespace
} // namespace pennolux
