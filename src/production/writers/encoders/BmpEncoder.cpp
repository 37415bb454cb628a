#include "production/writers/ImageEncoders.h"

#include <QtEndian>

#include <cstring>
#include <limits>

#include "production/writers/ImageSizeLimits.h"
#include "production/writers/encoders/FourBytePixels.h"
#include "platform/AppError.h"

namespace pennolux {

namespace {

constexpr qint64 kFileHeaderSize = 14;
constexpr qint64 kInfoHeaderSize = 40;
constexpr qint64 kPixelOffset = kFileHeaderSize + kInfoHeaderSize;
constexpr quint16 kBitsPerPixel = 32;

class HeaderWriter {
public:
    explicit HeaderWriter(char* out) : out_(out) {}

    void bytes(const char* text, size_t count)
    {
        std::memcpy(out_, text, count);
        out_ += count;
    }
    void u16(quint16 value)
    {
        qToLittleEndian(value, out_);
        out_ += sizeof value;
    }
    void u32(quint32 value)
    {
        qToLittleEndian(value, out_);
        out_ += sizeof value;
    }
    void i32(qint32 value)
    {
        qToLittleEndian(value, out_);
        out_ += sizeof value;
    }

private:
    char* out_;
};

void writeHeaders(char* out, const QImage& image, quint32 pixelBytes)
{
    HeaderWriter header(out);
    header.bytes("BM", 2);
    header.u32(static_cast<quint32>(kPixelOffset) + pixelBytes);
    header.u16(0);
    header.u16(0);
    header.u32(static_cast<quint32>(kPixelOffset));

    header.u32(static_cast<quint32>(kInfoHeaderSize));
    header.i32(image.width());
    header.i32(image.height()); // positive: rows stored bottom to top
    header.u16(1);              // planes
    header.u16(kBitsPerPixel);
    header.u32(0); // no compression
    header.u32(pixelBytes);
    header.i32(0); // horizontal resolution
    header.i32(0); // vertical resolution
    header.u32(0); // colours used
    header.u32(0); // colours important
}

// 32-bit rows need no padding; each pixel is B, G, R and the image's fourth byte.
void writeRowsBottomUp(char* out, const QImage& image)
{
    const auto rowBytes = static_cast<size_t>(image.width()) * 4;
    for (int y = image.height() - 1; y >= 0; --y) {
        const uchar* row = image.constScanLine(y);
        if constexpr (kWordsAreBgrxInMemory) {
            std::memcpy(out, row, rowBytes);
        } else {
            const auto* words = reinterpret_cast<const quint32*>(row);
            for (int x = 0; x < image.width(); ++x)
                qToLittleEndian(words[x], out + x * 4);
        }
        out += rowBytes;
    }
}

} // namespace

QByteArray encodeBmp(const QImage& image)
{
    const QImage pixels = fourBytePixels(image);
    checkFormatCanHold(ImageFormat::BMP, pixels.width(), pixels.height());
    const qint64 pixelBytes = qint64(pixels.width()) * pixels.height() * 4;

    QByteArray bytes(kPixelOffset + pixelBytes, Qt::Uninitialized);
    writeHeaders(bytes.data(), pixels, static_cast<quint32>(pixelBytes));
    writeRowsBottomUp(bytes.data() + kPixelOffset, pixels);
    return bytes;
}

} // namespace pennolux
