#include "production/writers/ImageEncoders.h"

#include <cstdio>
// jpeglib.h needs size_t and FILE declared before it.
#include <jpeglib.h>

#include <csetjmp>
#include <cstdlib>
#include <vector>

#include "production/writers/encoders/FourBytePixels.h"
#include "production/writers/ImageSizeLimits.h"
#include "platform/AppError.h"

namespace pennolux {

namespace {

constexpr int kQuality = 90;

// libjpeg's default error exit ends the process; ours jumps back to
// compressRows(), which therefore holds nothing with a destructor.
struct JpegErrors {
    jpeg_error_mgr manager {};
    std::jmp_buf jump {};
    char text[JMSG_LENGTH_MAX] = {};
};

[[noreturn]] void onJpegError(j_common_ptr info)
{
    auto* errors = reinterpret_cast<JpegErrors*>(info->err);
    (*info->err->format_message)(info, errors->text);
    std::longjmp(errors->jump, 1);
}

void ignoreJpegMessage(j_common_ptr)
{
}

// The memory destination's buffer is malloc'ed by libjpeg and given back to
// us, also after a failure.
struct JpegOutput {
    JpegOutput() = default;
    JpegOutput(const JpegOutput&) = delete;
    JpegOutput& operator=(const JpegOutput&) = delete;
    ~JpegOutput() { std::free(buffer); }

    unsigned char* buffer = nullptr;
    unsigned long size = 0;
};

void setParameters(jpeg_compress_struct* info, const QImage& image)
{
    info->image_width = static_cast<JDIMENSION>(image.width());
    info->image_height = static_cast<JDIMENSION>(image.height());
    if constexpr (kWordsAreBgrxInMemory) {
        // libjpeg-turbo converts B, G, R, X itself, with the same arithmetic
        // as for R, G, B input, so the rows need no copy.
        info->input_components = 4;
        info->in_color_space = JCS_EXT_BGRX;
    } else {
        info->input_components = 3;
        info->in_color_space = JCS_RGB;
    }
    // The defaults: YCbCr 4:2:0, JFIF marker, standard Huffman tables,
    // sequential, no restart markers.
    jpeg_set_defaults(info);
    jpeg_set_quality(info, kQuality, TRUE);
}

void toRgb(const uchar* words, int width, JSAMPLE* rgb)
{
    const auto* pixels = reinterpret_cast<const QRgb*>(words);
    for (int x = 0; x < width; ++x) {
        *rgb++ = static_cast<JSAMPLE>(qRed(pixels[x]));
        *rgb++ = static_cast<JSAMPLE>(qGreen(pixels[x]));
        *rgb++ = static_cast<JSAMPLE>(qBlue(pixels[x]));
    }
}

bool compressRows(jpeg_compress_struct* info, JpegErrors* errors, const QImage& image, JpegOutput* output,
                  JSAMPLE* rgbRow)
{
    if (setjmp(errors->jump))
        return false;
    jpeg_create_compress(info);
    jpeg_mem_dest(info, &output->buffer, &output->size);
    setParameters(info, image);
    jpeg_start_compress(info, TRUE);
    for (int y = 0; y < image.height(); ++y) {
        JSAMPROW row = rgbRow;
        if constexpr (kWordsAreBgrxInMemory) {
            // libjpeg only reads the input rows; its interface just lacks const.
            row = const_cast<JSAMPLE*>(image.constScanLine(y));
        } else {
            toRgb(image.constScanLine(y), image.width(), rgbRow);
        }
        jpeg_write_scanlines(info, &row, 1);
    }
    jpeg_finish_compress(info);
    return true;
}

} // namespace

QByteArray encodeJpeg(const QImage& image)
{
    checkFormatCanHold(ImageFormat::JPEG, image.width(), image.height());
    const QImage pixels = fourBytePixels(image);
    std::vector<JSAMPLE> rgbRow(kWordsAreBgrxInMemory ? 0 : static_cast<size_t>(pixels.width()) * 3);

    jpeg_compress_struct info {};
    JpegErrors errors;
    info.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = &onJpegError;
    errors.manager.output_message = &ignoreJpegMessage;
    JpegOutput output;

    const bool compressed = compressRows(&info, &errors, pixels, &output, rgbRow.data());
    jpeg_destroy_compress(&info);
    if (!compressed)
        throw AppError(QStringLiteral("JPEG encoding failed: ") + QString::fromLocal8Bit(errors.text));
    return QByteArray(reinterpret_cast<const char*>(output.buffer), static_cast<qsizetype>(output.size));
}

} // namespace pennolux
