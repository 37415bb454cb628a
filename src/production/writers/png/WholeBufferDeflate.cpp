#include "production/writers/png/WholeBufferDeflate.h"

#include <libdeflate.h>

#include <new>

#include "platform/AppError.h"

namespace pennolux {

namespace {

struct CompressorDeleter {
    void operator()(libdeflate_compressor* compressor) const { libdeflate_free_compressor(compressor); }
};

libdeflate_compressor& threadCompressor()
{
    thread_local std::unique_ptr<libdeflate_compressor, CompressorDeleter> compressor(
        libdeflate_alloc_compressor(kPngCompressionLevel));
    if (!compressor)
        throw std::bad_alloc();
    return *compressor;
}

[[noreturn]] void failed()
{
    // The bound is the worst case: only a fault in the library can overrun it.
    throw AppError(QStringLiteral("PNG encoding failed: the image data did not compress"));
}

} // namespace

WholeBufferStream deflateWholeBuffer(const std::uint8_t* data, std::size_t size)
{
    libdeflate_compressor& compressor = threadCompressor();
    const std::size_t bound = libdeflate_deflate_compress_bound(&compressor, size);
    WholeBufferStream stream{std::make_unique_for_overwrite<std::uint8_t[]>(bound + 6), 0};
    std::uint8_t* bytes = stream.bytes.get();
    // zlib's own header for level 7 (libdeflate's would name level 7 the default level).
    bytes[0] = kZlibHeaderLevel7[0];
    bytes[1] = kZlibHeaderLevel7[1];
    const std::size_t deflated = libdeflate_deflate_compress(&compressor, data, size, bytes + 2, bound);
    if (deflated == 0)
        failed();
    const std::uint32_t adler = libdeflate_adler32(1, data, size);
    std::uint8_t* trailer = bytes + 2 + deflated;
    trailer[0] = std::uint8_t(adler >> 24);
    trailer[1] = std::uint8_t(adler >> 16);
    trailer[2] = std::uint8_t(adler >> 8);
    trailer[3] = std::uint8_t(adler);
    stream.size = deflated + 6;
    return stream;
}

void deflateRawWholeBuffer(const std::uint8_t* data, std::size_t size, std::vector<std::uint8_t>& out)
{
    libdeflate_compressor& compressor = threadCompressor();
    out.resize(libdeflate_deflate_compress_bound(&compressor, size));
    const std::size_t written = libdeflate_deflate_compress(&compressor, data, size, out.data(), out.size());
    if (written == 0)
        failed();
    out.resize(written);
}

} // namespace pennolux
