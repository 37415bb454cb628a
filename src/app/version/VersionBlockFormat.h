#pragma once

// The layout of the version block an executable carries in its
// ".pennolux.version" ELF section. It holds what a Windows version resource
// holds, addressed by the same query paths:
//   "\"                                   VS_FIXEDFILEINFO (13 little-endian DWORDs)
//   "\VarFileInfo\Translation"            language and code page pairs (WORDs)
//   "\StringFileInfo\040904E4\<Field>"    UTF-8 text
//
// Block, all integers little-endian:
//   char[8]  magic "PNLXVER\0"
//   u32      size of the whole block in bytes
//   u16      layout version (1)
//   u16      number of entries
//   entries, each: u8 value type (0 binary, 1 UTF-8 text), u8 reserved (0),
//                  u16 query path length, u32 value length, path bytes, value bytes
//
// Everything here is constexpr so the build can lay the block out at compile time.

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string_view>

namespace pennolux::versionblock {

inline constexpr std::string_view kMagic{"PNLXVER\0", 8};
inline constexpr std::uint16_t kLayoutVersion = 1;
inline constexpr std::size_t kHeaderSize = 16;
inline constexpr std::size_t kEntryHeaderSize = 8;
inline constexpr std::size_t kFixedFileInfoSize = 52;
inline constexpr std::uint32_t kFixedFileInfoSignature = 0xFEEF04BD;

enum class ValueType : std::uint8_t { Binary = 0, Text = 1 };

struct Entry {
    std::string_view path;
    std::string_view value;
    ValueType type;
};

template <std::size_t N>
constexpr std::array<char, N * 4> littleEndianDwords(const std::uint32_t (&words)[N])
{
    std::array<char, N * 4> bytes{};
    for (std::size_t i = 0; i < N; ++i)
        for (std::size_t b = 0; b < 4; ++b)
            bytes[i * 4 + b] = char((words[i] >> (8 * b)) & 0xFF);
    return bytes;
}

// VS_FIXEDFILEINFO of an application of unknown OS with no flags set.
constexpr std::array<char, kFixedFileInfoSize> fixedFileInfo(std::uint32_t fileVersionMS,
                                                             std::uint32_t fileVersionLS)
{
    const std::uint32_t words[13] = {
        kFixedFileInfoSignature, 0x00010000, fileVersionMS, fileVersionLS,
        fileVersionMS, fileVersionLS, 0x3F, 0, 0, 1 /* VFT_APP */, 0, 0, 0};
    return littleEndianDwords(words);
}

constexpr std::array<char, 4> translation(std::uint16_t language, std::uint16_t codePage)
{
    return {char(language & 0xFF), char(language >> 8), char(codePage & 0xFF), char(codePage >> 8)};
}

template <std::size_t N>
constexpr std::string_view view(const std::array<char, N>& bytes)
{
    return std::string_view(bytes.data(), N);
}

constexpr std::size_t encodedSize(std::span<const Entry> entries)
{
    std::size_t size = kHeaderSize;
    for (const Entry& entry : entries)
        size += kEntryHeaderSize + entry.path.size() + entry.value.size();
    return size;
}

template <std::size_t Size>
constexpr std::array<unsigned char, Size> encode(std::span<const Entry> entries)
{
    std::array<unsigned char, Size> block{};
    std::size_t at = 0;
    auto put = [&](std::uint64_t value, std::size_t width) {
        for (std::size_t b = 0; b < width; ++b)
            block[at++] = (unsigned char)((value >> (8 * b)) & 0xFF);
    };
    auto putBytes = [&](std::string_view bytes) {
        for (char c : bytes)
            block[at++] = (unsigned char)(c);
    };
    putBytes(kMagic);
    put(Size, 4);
    put(kLayoutVersion, 2);
    put(entries.size(), 2);
    for (const Entry& entry : entries) {
        put(std::uint8_t(entry.type), 1);
        put(0, 1);
        put(entry.path.size(), 2);
        put(entry.value.size(), 4);
        putBytes(entry.path);
        putBytes(entry.value);
    }
    return block;
}

} // namespace pennolux::versionblock
