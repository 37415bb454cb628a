#include "editor/background/DecoderDamageCheck.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

#include <gif_lib.h>
#include <jpeglib.h>
// After jpeglib.h, which it needs.
#include <jerror.h>

namespace pennolux {

namespace {

// JPEG --------------------------------------------------------------------------

struct JpegDamageReport {
    jpeg_error_mgr manager{};
    std::jmp_buf escape{};
    char message[JMSG_LENGTH_MAX] ={};
};

JpegDamageReport& reportOf(j_common_ptr decoder)
{
    return *reinterpret_cast<JpegDamageReport*>(decoder->err);
}

void keepJpegMessage(j_common_ptr decoder)
{
    JpegDamageReport& report = reportOf(decoder);
    if (report.message[0] == '\0')
        (*decoder->err->format_message)(decoder, report.message);
}

[[noreturn]] void stopOnJpegError(j_common_ptr decoder)
{
    keepJpegMessage(decoder);
    std::longjmp(reportOf(decoder).escape, 1);
}

// The warnings that say the data is damaged ("Premature end of JPEG file",
// "Corrupt JPEG data: ..."): libjpeg goes on with grey, the picture is refused.
// Its notes about odd but readable files are passed over.
bool isDamageWarning(int code)
{
    switch (code) {
    case JWRN_JPEG_EOF:
    case JWRN_HIT_MARKER:
    case JWRN_HUFF_BAD_CODE:
    case JWRN_MUST_RESYNC:
    case JWRN_ARITH_BAD_CODE:
    case JWRN_EXTRANEOUS_DATA:
        return true;
    default:
        return false;
    }
}

void stopOnJpegDamage(j_common_ptr decoder, int level)
{
    if (level < 0 && isDamageWarning(decoder->err->msg_code))
        stopOnJpegError(decoder);
    // Trace messages and harmless warnings print nothing.
}

QString jpegDamage(const QByteArray& bytes)
{
    jpeg_decompress_struct decoder{};
    JpegDamageReport report;
    decoder.err = jpeg_std_error(&report.manager);
    report.manager.error_exit = stopOnJpegError;
    report.manager.emit_message = stopOnJpegDamage;
    report.manager.output_message = keepJpegMessage;
    if (setjmp(report.escape) != 0) {
        jpeg_destroy_decompress(&decoder);
        return QString::fromLocal8Bit(report.message);
    }
    jpeg_create_decompress(&decoder);
    jpeg_mem_src(&decoder, reinterpret_cast<const unsigned char*>(bytes.constData()), (unsigned long)bytes.size());
    jpeg_read_header(&decoder, TRUE);
    // Every scan's data is decoded, which is where damage shows; drawn at an
    // eighth of the size the rest of the work is small.
    decoder.scale_num = 1;
    decoder.scale_denom = 8;
    decoder.dct_method = JDCT_IFAST;
    decoder.do_fancy_upsampling = FALSE;
    jpeg_start_decompress(&decoder);
    // Held by the decoder, so the escape from an error frees it too.
    JSAMPARRAY rows = (*decoder.mem->alloc_sarray)(
        reinterpret_cast<j_common_ptr>(&decoder), JPOOL_IMAGE, decoder.output_width * decoder.output_components, 1);
    while (decoder.output_scanline < decoder.output_height)
        jpeg_read_scanlines(&decoder, rows, 1);
    jpeg_finish_decompress(&decoder);
    jpeg_destroy_decompress(&decoder);
    return{};
}

// GIF ---------------------------------------------------------------------------

struct GifSource {
    const QByteArray& bytes;
    qsizetype position = 0;
};

int readGifBytes(GifFileType* file, GifByteType* into, int count)
{
    auto& source = *static_cast<GifSource*>(file->UserData);
    const qsizetype available = std::min<qsizetype>(count, source.bytes.size() - source.position);
    std::memcpy(into, source.bytes.constData() + source.position, std::size_t(available));
    source.position += available;
    return int(available);
}

QString gifError(int code)
{
    const char* text = GifErrorString(code);
    return text ? QString::fromLatin1(text) : QStringLiteral("GIF error %1").arg(code);
}

// The first frame, which is the one shown, must hold all its pixels: giflib
// fails a frame whose image data is missing or ends early.
QString gifDamage(const QByteArray& bytes)
{
    GifSource source{bytes};
    int error = D_GIF_SUCCEEDED;
    GifFileType* file = DGifOpen(&source, readGifBytes, &error);
    if (!file)
        return gifError(error);
    QString damage;
    for (;;) {
        GifRecordType record = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(file, &record) == GIF_ERROR) {
            damage = gifError(file->Error);
            break;
        }
        if (record == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* block = nullptr;
            if (DGifGetExtension(file, &code, &block) == GIF_ERROR) {
                damage = gifError(file->Error);
                break;
            }
            while (block) {
                if (DGifGetExtensionNext(file, &block) == GIF_ERROR) {
                    damage = gifError(file->Error);
                    break;
                }
            }
            if (!damage.isEmpty())
                break;
            continue;
        }
        if (record != IMAGE_DESC_RECORD_TYPE) {
            damage = QStringLiteral("it holds no picture");
            break;
        }
        if (DGifGetImageDesc(file) == GIF_ERROR) {
            damage = gifError(file->Error);
            break;
        }
        const int width = file->Image.Width;
        const int height = file->Image.Height;
        if (width <= 0 || height <= 0) {
            damage = QStringLiteral("its first frame has no size");
            break;
        }
        std::vector<GifPixelType> line(std::size_t(width), 0);
        for (int y = 0; y < height; ++y) {
            if (DGifGetLine(file, line.data(), width) == GIF_ERROR) {
                damage = gifError(file->Error);
                break;
            }
        }
        break;
    }
    DGifCloseFile(file, &error);
    return damage;
}

} // namespace

QString damageFoundByDecoder(const QByteArray& bytes, const QByteArray& qtFormat)
{
    if (qtFormat == "jpeg")
        return jpegDamage(bytes);
    if (qtFormat == "gif")
        return gifDamage(bytes);
    return{};
}

} // namespace pennolux
