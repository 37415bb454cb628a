#include "production/writers/png/PngFileWriter.h"

#include <libdeflate.h>

#include <algorithm>
#include <new>

namespace pennolux {

namespace {

constexpr char kSignature[] = "\x89PNG\r\n\x1a\n";
constexpr std::size_t kChunkOverhead = 12;  // length, type and CRC

void appendBigEndian32(QByteArray& bytes, std::uint32_t value)
{
    const char word[4] = {char(value >> 24), char(value >> 16), char(value >> 8), char(value)};
    bytes.append(word, 4);
}

void writeBigEndian32(char* at, std::uint32_t value)
{
    at[0] = char(value >> 24);
    at[1] = char(value >> 16);
    at[2] = char(value >> 8);
    at[3] = char(value);
}

} // namespace

PngFileWriter::PngFileWriter(std::uint32_t width, std::uint32_t height, PngColorType colorType,
                             const std::vector<PaletteEntry>& palette, std::size_t expectedStreamBytes)
{
    const std::size_t idatChunks = expectedStreamBytes / kMaxIdatDataBytes + 1;
    file_.reserve(qsizetype(8 + 25 + kChunkOverhead + palette.size() * 3 + expectedStreamBytes +
                            idatChunks * kChunkOverhead + kChunkOverhead));
    file_.append(kSignature, 8);

    beginChunk("IHDR");
    appendBigEndian32(file_, width);
    appendBigEndian32(file_, height);
    const char layout[5] = {8, char(colorType), 0, 0, 0};  // depth, colour type, methods, no interlace
    file_.append(layout, 5);
    endChunk();

    if (colorType == PngColorType::Palette) {
        beginChunk("PLTE");
        for (const PaletteEntry& entry : palette)
            file_.append(reinterpret_cast<const char*>(entry.data()), 3);
        endChunk();
    }
}

void PngFileWriter::beginChunk(const char (&type)[5])
{
    chunkStart_ = file_.size();
    file_.append(4, '\0');
    file_.append(type, 4);
}

void PngFileWriter::endChunk()
{
    const qsizetype typeStart = chunkStart_ + 4;
    const auto dataSize = std::uint32_t(file_.size() - typeStart - 4);
    writeBigEndian32(file_.data() + chunkStart_, dataSize);
    const std::uint32_t crc = libdeflate_crc32(0, file_.constData() + typeStart, std::size_t(dataSize) + 4);
    appendBigEndian32(file_, crc);
    chunkStart_ = -1;
}

void PngFileWriter::appendStream(const void* data, std::size_t size)
{
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        if (chunkStart_ < 0)
            beginChunk("IDAT");
        const std::size_t inChunk = std::size_t(file_.size() - chunkStart_ - 8);
        const std::size_t taken = std::min(size, kMaxIdatDataBytes - inChunk);
        file_.append(bytes, qsizetype(taken));
        bytes += taken;
        size -= taken;
        if (inChunk + taken == kMaxIdatDataBytes)
            endChunk();
    }
}

QByteArray PngFileWriter::finish()
{
    if (chunkStart_ >= 0)
        endChunk();
    beginChunk("IEND");
    endChunk();
    return std::move(file_);
}

} // namespace pennolux
