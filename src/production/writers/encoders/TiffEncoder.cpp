#include "production/writers/ImageEncoders.h"

#include <tiffio.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "production/writers/ImageSizeLimits.h"
#include "production/writers/encoders/FourBytePixels.h"
#include "platform/AppError.h"

namespace pennolux {

namespace {

// LZW with the horizontal predictor: lossless, read by every TIFF reader
// that reads compressed files at all, and several times smaller than
// uncompressed strips for pictures of text on a plain background.
constexpr uint16_t kCompression = COMPRESSION_LZW;
constexpr uint16_t kPredictor = PREDICTOR_HORIZONTAL;
constexpr float kDotsPerInch = 96.0F;

// libtiff seeks back to patch offsets, so the file is built in a buffer
// that supports random access rather than appended to.
struct MemoryFile {
    QByteArray bytes;
    qint64 position = 0;
};

MemoryFile* fileOf(thandle_t handle)
{
    return static_cast<MemoryFile*>(handle);
}

tmsize_t readMemory(thandle_t handle, void* buffer, tmsize_t size)
{
    MemoryFile* file = fileOf(handle);
    const qint64 available = std::max<qint64>(0, file->bytes.size() - file->position);
    const qint64 count = std::min<qint64>(size, available);
    if (count > 0)
        std::memcpy(buffer, file->bytes.constData() + file->position, static_cast<size_t>(count));
    file->position += count;
    return static_cast<tmsize_t>(count);
}

tmsize_t writeMemory(thandle_t handle, void* buffer, tmsize_t size)
{
    MemoryFile* file = fileOf(handle);
    const auto* data = static_cast<const char*>(buffer);
    try {
        if (file->position > file->bytes.size())
            file->bytes.append(file->position - file->bytes.size(), '\0');
        const qint64 overlap = std::min<qint64>(size, file->bytes.size() - file->position);
        if (overlap > 0)
            std::memcpy(file->bytes.data() + file->position, data, static_cast<size_t>(overlap));
        file->bytes.append(data + overlap, static_cast<qsizetype>(size - overlap));
    } catch (...) {
        return 0;
    }
    file->position += size;
    return size;
}

toff_t seekMemory(thandle_t handle, toff_t offset, int whence)
{
    MemoryFile* file = fileOf(handle);
    const auto distance = static_cast<qint64>(offset);
    switch (whence) {
    case SEEK_CUR:
        file->position += distance;
        break;
    case SEEK_END:
        file->position = file->bytes.size() + distance;
        break;
    default:
        file->position = distance;
        break;
    }
    return static_cast<toff_t>(file->position);
}

int closeMemory(thandle_t)
{
    return 0;
}

toff_t sizeOfMemory(thandle_t handle)
{
    return static_cast<toff_t>(fileOf(handle)->bytes.size());
}

int mapNothing(thandle_t, void**, toff_t*)
{
    return 0;
}

void unmapNothing(thandle_t, void*, toff_t)
{
}

// Kept per file through the open options, so no global handler is touched
// while other threads encode.
struct TiffErrorText {
    char text[300] = {};
};

int onTiffError(TIFF*, void* userData, const char* module, const char* format, va_list arguments)
{
    auto* error = static_cast<TiffErrorText*>(userData);
    if (error->text[0] == '\0') {
        char message[256] = {};
        std::vsnprintf(message, sizeof message, format, arguments);
        std::snprintf(error->text, sizeof error->text, "%s: %s", module ? module : "TIFF", message);
    }
    return 1;
}

int ignoreTiffWarning(TIFF*, void*, const char*, const char*, va_list)
{
    return 1;
}

struct TiffCloser {
    void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};
using TiffHandle = std::unique_ptr<TIFF, TiffCloser>;

TiffHandle openMemoryTiff(MemoryFile* file, TiffErrorText* error)
{
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    if (!options)
        return nullptr;
    TIFFOpenOptionsSetErrorHandlerExtR(options, &onTiffError, error);
    TIFFOpenOptionsSetWarningHandlerExtR(options, &ignoreTiffWarning, nullptr);
    TIFF* tiff = TIFFClientOpenExt("memory", "w", file, &readMemory, &writeMemory, &seekMemory, &closeMemory,
                                   &sizeOfMemory, &mapNothing, &unmapNothing, options);
    TIFFOpenOptionsFree(options);
    return TiffHandle(tiff);
}

bool setFields(TIFF* tiff, const QImage& image)
{
    return TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(image.width()))
        && TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(image.height()))
        && TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8)
        && TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 3)
        && TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB)
        && TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG)
        && TIFFSetField(tiff, TIFFTAG_COMPRESSION, kCompression)
        && TIFFSetField(tiff, TIFFTAG_PREDICTOR, kPredictor)
        && TIFFSetField(tiff, TIFFTAG_XRESOLUTION, kDotsPerInch)
        && TIFFSetField(tiff, TIFFTAG_YRESOLUTION, kDotsPerInch)
        && TIFFSetField(tiff, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH)
        // About 8 KB of raw pixels a strip, as libtiff suggests.
        && TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tiff, 0));
}

void toRgb(const uchar* words, int width, uchar* rgb)
{
    const auto* pixels = reinterpret_cast<const QRgb*>(words);
    for (int x = 0; x < width; ++x) {
        *rgb++ = static_cast<uchar>(qRed(pixels[x]));
        *rgb++ = static_cast<uchar>(qGreen(pixels[x]));
        *rgb++ = static_cast<uchar>(qBlue(pixels[x]));
    }
}

bool writeRows(TIFF* tiff, const QImage& image)
{
    // One buffer for all rows; the predictor overwrites it in place.
    std::vector<uchar> row(static_cast<size_t>(image.width()) * 3);
    for (int y = 0; y < image.height(); ++y) {
        toRgb(image.constScanLine(y), image.width(), row.data());
        if (TIFFWriteScanline(tiff, row.data(), static_cast<uint32_t>(y), 0) < 0)
            return false;
    }
    return TIFFFlush(tiff) == 1;
}

} // namespace

QByteArray encodeTiff(const QImage& image)
{
    checkFormatCanHold(ImageFormat::TIFF, image.width(), image.height());
    const QImage pixels = fourBytePixels(image);
    MemoryFile file;
    TiffErrorText error;
    {
        TiffHandle tiff = openMemoryTiff(&file, &error);
        if (!tiff || !setFields(tiff.get(), pixels) || !writeRows(tiff.get(), pixels)) {
            const QString reason = error.text[0] ? QString::fromLocal8Bit(error.text) : QStringLiteral("out of memory");
            throw AppError(QStringLiteral("TIFF encoding failed: ") + reason);
        }
    }
    return file.bytes;
}

} // namespace pennolux
