#include "editor/background/PictureIntegrity.h"

#include <QtEndian>
#include <cstdint>
#include <cstdlib>

namespace pennolux {

namespace {

// Reads ahead in the bytes; every read past the end fails.
class ByteWalk {
public:
    explicit ByteWalk(const QByteArray& bytes) : bytes_(bytes) {}

    bool skip(std::int64_t count)
    {
        if (count < 0 || count > std::int64_t(bytes_.size()) - position_)
            return false;
        position_ += count;
        return true;
    }
    bool byte(int& value)
    {
        if (position_ >= bytes_.size())
            return false;
        value = static_cast<unsigned char>(bytes_[position_++]);
        return true;
    }
    bool bigEndian16(int& value)
    {
        int high = 0;
        int low = 0;
        if (!byte(high) || !byte(low))
            return false;
        value = (high << 8) | low;
        return true;
    }
    qsizetype position() const { return position_; }
    void moveTo(qsizetype position) { position_ = position; }
    const QByteArray& bytes() const { return bytes_; }

private:
    const QByteArray& bytes_;
    qsizetype position_ = 0;
};

std::uint32_t littleEndian32(const QByteArray& bytes, qsizetype offset)
{
    return qFromLittleEndian<quint32>(bytes.constData() + offset);
}

// Uncompressed rows must all be there; for compressed data the header's own
// file size is the measure.
bool bmpComplete(const QByteArray& bytes)
{
    constexpr qsizetype kFileHeader = 14;
    if (bytes.size() < kFileHeader + 4)
        return false;
    const std::int64_t fileSize = littleEndian32(bytes, 2);
    const std::int64_t pixelOffset = littleEndian32(bytes, 10);
    const std::uint32_t infoSize = littleEndian32(bytes, kFileHeader);
    std::int64_t width = 0;
    std::int64_t height = 0;
    int bitsPerPixel = 0;
    std::uint32_t compression = 0;
    if (infoSize == 12) {
        if (bytes.size() < kFileHeader + 12)
            return false;
        width = qFromLittleEndian<quint16>(bytes.constData() + 18);
        height = qFromLittleEndian<quint16>(bytes.constData() + 20);
        bitsPerPixel = qFromLittleEndian<quint16>(bytes.constData() + 24);
    } else {
        if (bytes.size() < kFileHeader + 20)
            return false;
        width = qFromLittleEndian<qint32>(bytes.constData() + 18);
        height = std::llabs(qFromLittleEndian<qint32>(bytes.constData() + 22));
        bitsPerPixel = qFromLittleEndian<quint16>(bytes.constData() + 28);
        compression = littleEndian32(bytes, 30);
    }
    constexpr std::uint32_t kRgb = 0;
    constexpr std::uint32_t kBitFields = 3;
    constexpr std::uint32_t kAlphaBitFields = 6;
    if (compression == kRgb || compression == kBitFields || compression == kAlphaBitFields) {
        // A header may claim any size: the rows are compared with the room
        // the file has by division, which no claimed size can overflow.
        if (width <= 0 || bitsPerPixel <= 0)
            return false;
        const std::int64_t rowBytes = (width * bitsPerPixel + 31) / 32 * 4;
        const std::int64_t room = std::int64_t(bytes.size()) - pixelOffset;
        return room >= 0 && height <= room / rowBytes;
    }
    return fileSize <= pixelOffset || fileSize <= bytes.size();
}

bool skipGifColorTable(ByteWalk& walk, int packed)
{
    constexpr int kHasTable = 0x80;
    if ((packed & kHasTable) == 0)
        return true;
    return walk.skip(3LL << ((packed & 7) + 1));
}

bool skipGifSubBlocks(ByteWalk& walk)
{
    for (;;) {
        int size = 0;
        if (!walk.byte(size))
            return false;
        if (size == 0)
            return true;
        if (!walk.skip(size))
            return false;
    }
}

// The first frame is complete once its data blocks end in their terminator.
bool gifComplete(const QByteArray& bytes)
{
    ByteWalk walk(bytes);
    int packed = 0;
    if (!walk.skip(6 + 4) || !walk.byte(packed) || !walk.skip(2) || !skipGifColorTable(walk, packed))
        return false;
    for (;;) {
        int introducer = 0;
        if (!walk.byte(introducer))
            return false;
        if (introducer == 0x21) {
            if (!walk.skip(1) || !skipGifSubBlocks(walk))
                return false;
        } else if (introducer == 0x2C) {
            int imagePacked = 0;
            return walk.skip(8) && walk.byte(imagePacked) && skipGifColorTable(walk, imagePacked) && walk.skip(1) &&
                   skipGifSubBlocks(walk);
        } else {
            return false;
        }
    }
}

bool isRestartMarker(int marker)
{
    return marker >= 0xD0 && marker <= 0xD7;
}

// Walks the segments and the entropy-coded scans up to the end-of-image
// marker; data after that marker (some cameras append their own) is not
// looked at.
bool jpegComplete(const QByteArray& bytes)
{
    ByteWalk walk(bytes);
    if (!walk.skip(2))
        return false;
    for (;;) {
        int value = 0;
        do {
            if (!walk.byte(value))
                return false;
        } while (value != 0xFF);
        do {
            if (!walk.byte(value))
                return false;
        } while (value == 0xFF);
        const int marker = value;
        if (marker == 0xD9)
            return true;
        if (marker == 0x00 || marker == 0x01 || isRestartMarker(marker))
            continue;
        int length = 0;
        if (!walk.bigEndian16(length) || !walk.skip(length - 2))
            return false;
        if (marker != 0xDA)
            continue;
        // The scan runs to the next marker that is neither a stuffed 0xFF
        // nor a restart marker.
        for (;;) {
            const qsizetype next = bytes.indexOf('\xFF', walk.position());
            if (next < 0 || next + 1 >= bytes.size())
                return false;
            const int following = static_cast<unsigned char>(bytes[next + 1]);
            if (following == 0x00 || isRestartMarker(following) || following == 0xFF) {
                walk.moveTo(next + (following == 0xFF ? 1 : 2));
                continue;
            }
            walk.moveTo(next);
            break;
        }
    }
}

} // namespace

bool holdsCompletePicture(const QByteArray& bytes, const QByteArray& qtFormat)
{
    if (qtFormat == "bmp")
        return bmpComplete(bytes);
    if (qtFormat == "gif")
        return gifComplete(bytes);
    if (qtFormat == "jpeg")
        return jpegComplete(bytes);
    return true;
}

} // namespace pennolux
