#include "WriterTestImages.h"

#include <QFile>
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

namespace pennolux::testing {

QImage NoiseImage(int width, int height, std::uint32_t seed)
{
    QImage image(width, height, QImage::Format_RGB32);
    std::mt19937 random(seed);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            row[x] = 0xFF000000U | (random() & 0xFFFFFFU);
    }
    return image;
}

QImage GradientImage(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x * 255 / width, y * 255 / height, 128 + (x + y) % 64));
    }
    return image;
}

QImage AsRgb888(const QImage& image)
{
    return image.convertToFormat(QImage::Format_RGB888);
}

double MeanChannelDifference(const QImage& a, const QImage& b)
{
    EXPECT_EQ(a.size(), b.size());
    EXPECT_EQ(a.format(), QImage::Format_RGB888);
    EXPECT_EQ(b.format(), QImage::Format_RGB888);
    if (a.size() != b.size())
        return 255;
    double sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        const uchar* rowA = a.constScanLine(y);
        const uchar* rowB = b.constScanLine(y);
        for (int i = 0; i < a.width() * 3; ++i)
            sum += std::abs(int(rowA[i]) - int(rowB[i]));
    }
    return sum / (double(a.width()) * a.height() * 3);
}

std::uint32_t BigEndian32(const QByteArray& bytes, qsizetype at)
{
    const auto* p = reinterpret_cast<const uchar*>(bytes.constData() + at);
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
}

std::uint32_t LittleEndian32(const QByteArray& bytes, qsizetype at)
{
    const auto* p = reinterpret_cast<const uchar*>(bytes.constData() + at);
    return (std::uint32_t(p[3]) << 24) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[1]) << 8) | p[0];
}

std::uint16_t LittleEndian16(const QByteArray& bytes, qsizetype at)
{
    const auto* p = reinterpret_cast<const uchar*>(bytes.constData() + at);
    return std::uint16_t((p[1] << 8) | p[0]);
}

QByteArray ReadWholeFile(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

void WriteWholeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

} // namespace pennolux::testing
