#include "production/writers/ImageEncoders.h"

#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

#include "production/writers/ImageSizeLimits.h"
#include "production/writers/encoders/FourBytePixels.h"
#include "production/writers/png/PngFileWriter.h"
#include "production/writers/png/PngRows.h"
#include "production/writers/png/WholeBufferDeflate.h"
#include "platform/AppError.h"

namespace pennolux {

namespace {

// Image data up to this size is filtered and compressed whole, which is
// fastest; larger images stream their rows through libpng and zlib, so their
// memory stays that of the image.
constexpr std::uint64_t kWholeBufferLimit = std::uint64_t(32) << 20;

// libpng reports errors through a callback that must not return; it jumps
// back to writePng() instead, which is why that function holds nothing with
// a destructor between its setjmp and its end.
struct PngErrorText {
    char text[200] = {};
};

[[noreturn]] void onPngError(png_structp png, png_const_charp message)
{
    auto* error = static_cast<PngErrorText*>(png_get_error_ptr(png));
    std::snprintf(error->text, sizeof error->text, "%s", message);
    png_longjmp(png, 1);
}

void onPngWarning(png_structp, png_const_charp)
{
}

void appendToOutput(png_structp png, png_bytep data, size_t length)
{
    bool appended = true;
    try {
        static_cast<QByteArray*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data),
                                                              static_cast<qsizetype>(length));
    } catch (...) {
        appended = false;
    }
    if (!appended)
        png_error(png, "Out of memory");
}

void flushNothing(png_structp)
{
}

struct PngLayout {
    int colorType = PNG_COLOR_TYPE_RGB;
    std::vector<png_color> palette;
};

bool isPaletteImage(const QImage& image)
{
    return image.format() == QImage::Format_Indexed8 && image.colorCount() > 0;
}

std::vector<png_color> paletteOf(const QImage& image)
{
    std::vector<png_color> palette;
    const QList<QRgb> colors = image.colorTable();
    for (qsizetype i = 0; i < colors.size() && i < PNG_MAX_PALETTE_LENGTH; ++i) {
        const QRgb color = colors[i];
        palette.push_back({static_cast<png_byte>(qRed(color)), static_cast<png_byte>(qGreen(color)),
                           static_cast<png_byte>(qBlue(color))});
    }
    return palette;
}

// libpng emits one IDAT per filled compression buffer, so the buffer size is
// the IDAT size limit. A small image's whole zlib stream fits in far less, and
// a buffer just big enough for it gives the very same single IDAT without
// allocating 64 KB per image, which dominates when thousands of small images
// are written.
size_t compressionBufferSize(const QImage& image, const PngLayout& layout)
{
    const int bytesPerPixel = layout.colorType == PNG_COLOR_TYPE_RGB ? 3 : 1;
    const auto rawBytes = (1 + static_cast<std::uint64_t>(image.width()) * bytesPerPixel) * image.height();
    // Deflate's worst case (stored blocks) plus the zlib header and checksum.
    const std::uint64_t deflatedBound = rawBytes + rawBytes / 8 + rawBytes / 64 + 5 + 6;
    return static_cast<size_t>(std::min<std::uint64_t>(kMaxIdatDataBytes, deflatedBound));
}

void writeHeader(png_structp png, png_infop info, const QImage& image, const PngLayout& layout)
{
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width()), static_cast<png_uint_32>(image.height()), 8,
                 layout.colorType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (layout.colorType == PNG_COLOR_TYPE_PALETTE)
        png_set_PLTE(png, info, layout.palette.data(), static_cast<int>(layout.palette.size()));
    // Sub only: no filter search, so the same picture always gives the same bytes.
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
    png_set_compression_level(png, kPngCompressionLevel);
    // Plain deflate, rather than the Z_FILTERED strategy libpng picks for filtered rows.
    png_set_compression_strategy(png, Z_DEFAULT_STRATEGY);
    png_set_compression_buffer_size(png, compressionBufferSize(image, layout));
    png_write_info(png, info);
}

// libpng drops the fourth byte and reorders B, G, R itself while copying each
// row into its own buffer, so the image rows go in as they are.
void setRowTransforms(png_structp png, const PngLayout& layout)
{
    if (layout.colorType != PNG_COLOR_TYPE_RGB)
        return;
    if constexpr (kWordsAreBgrxInMemory) {
        png_set_bgr(png);
        png_set_filler(png, 0, PNG_FILLER_AFTER);
    } else {
        png_set_filler(png, 0, PNG_FILLER_BEFORE);
    }
}

bool writePng(png_structp png, png_infop info, const QImage& image, const PngLayout& layout, QByteArray* output)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_write_fn(png, output, &appendToOutput, &flushNothing);
    writeHeader(png, info, image, layout);
    setRowTransforms(png, layout);
    for (int y = 0; y < image.height(); ++y)
        png_write_row(png, image.constScanLine(y));
    png_write_end(png, nullptr);
    return true;
}

QByteArray encodeWholeRgb(const QImage& pixels)
{
    const std::size_t rawSize = pngRgbRowBytes(pixels.width()) * std::size_t(pixels.height());
    const auto raw = std::make_unique_for_overwrite<std::uint8_t[]>(rawSize);
    subFilterRgbRows(pixels, 0, pixels.height(), raw.get());
    const WholeBufferStream stream = deflateWholeBuffer(raw.get(), rawSize);
    PngFileWriter file(std::uint32_t(pixels.width()), std::uint32_t(pixels.height()), PngColorType::Rgb, {},
                       stream.size);
    file.appendStream(stream.bytes.get(), stream.size);
    return file.finish();
}

} // namespace

QByteArray encodePng(const QImage& image)
{
    checkFormatCanHold(ImageFormat::PNG, image.width(), image.height());
    PngLayout layout;
    QImage pixels = image;
    if (isPaletteImage(image)) {
        layout.colorType = PNG_COLOR_TYPE_PALETTE;
        layout.palette = paletteOf(image);
    } else {
        pixels = fourBytePixels(image);
        if (std::uint64_t(pngRgbRowBytes(pixels.width())) * std::uint64_t(pixels.height()) <= kWholeBufferLimit)
            return encodeWholeRgb(pixels);
    }

    PngErrorText error;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &error, &onPngError, &onPngWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        throw AppError(QStringLiteral("PNG encoding failed: out of memory"));
    }
    QByteArray output;
    const bool written = writePng(png, info, pixels, layout, &output);
    png_destroy_write_struct(&png, &info);
    if (!written)
        throw AppError(QStringLiteral("PNG encoding failed: ") + QString::fromUtf8(error.text));
    return output;
}

} // namespace pennolux
