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

} // namespace

WholeBufferStream deflateWholeBuffer(const std::uint8_t* data, std::size_t size)
{
    libdeflate_compressor& compressor = threadCompressor();
    const std::size_t bound = libdeflate_zlib_compress_bound(&compressor, size);
    WholeBufferStream stream{std::make_unique_for_overwrite<std::uint8_t[]>(bound), 0};
    stream.size = libdeflate_zlib_compress(&compressor, data, size, stream.bytes.get(), bound);
    // The bound is the worst case: only a fault in the library can overrun it.
    if (stream.size == 0)
        throw AppError(QStringLiteral("PNG encoding failed: the image data did not compress"));
    return stream;
}

} // namespace pennolux

namespace pennolux {

void deflateRawWholeBuffer(const std::uint8_t* data, std::size_t size, std::vector<std::uint8_t>& out)
{
    libdeflate_compressor& compressor = threadCompressor();
    out.resize(libdeflate_deflate_compress_bound(&compressor, size));
    const std::size_t written = libdeflate_deflate_compress(&compressor, data, size, out.data(), out.size());
    if (written == 0)
        throw AppError(QStringLiteral("PNG encoding failed: the image data did not compress"));
    out.resize(written);
}

} // namespace pennolux
