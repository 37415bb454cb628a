#pragma once

#include <QByteArray>
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace pennolux {

// PNG's colour types as IHDR writes them.
enum class PngColorType : std::uint8_t { Rgb = 2, Palette = 3 };

// Puts a PNG file together from its zlib stream: the signature, IHDR (8-bit
// samples, no interlace), PLTE for a palette, the stream in IDAT chunks of
// at most 65,535 bytes (every chunk full but the last), IEND; nothing else.
// The stream may be handed in as pieces of any size, in order.
class PngFileWriter {
public:
    using PaletteEntry = std::array<std::uint8_t, 3>;

    PngFileWriter(std::uint32_t width, std::uint32_t height, PngColorType colorType,
                  const std::vector<PaletteEntry>& palette = {}, std::size_t expectedStreamBytes = 0);
    PngFileWriter(const PngFileWriter&) = delete;
    PngFileWriter& operator=(const PngFileWriter&) = delete;

    void appendStream(const void* data, std::size_t size);
    // The complete file; the writer is spent.
    QByteArray finish();

private:
    void beginChunk(const char (&type)[5]);
    void endChunk();

    QByteArray file_;
    qsizetype chunkStart_ = -1;  // where the open chunk's length field lies
};

// How large an IDAT chunk may be: a chunk with more data than this would
// trip readers that take the length as a 16-bit value.
constexpr std::size_t kMaxIdatDataBytes = 65535;

} // namespace pennolux
