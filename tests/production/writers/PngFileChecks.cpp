#include "PngFileChecks.h"

#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include "WriterTestImages.h"

namespace pennolux::testing {

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

} // namespace pennolux::testing
