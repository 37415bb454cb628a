#include "production/writers/ImageEncoders.h"

#include <webp/encode.h>

#include "production/writers/encoders/FourBytePixels.h"
#include "production/writers/ImageSizeLimits.h"
#include "platform/AppError.h"

namespace pennolux {

namespace {

constexpr float kQuality = 80.0F;

class WebpPicture {
public:
    WebpPicture() { initialised_ = WebPPictureInit(&picture_) != 0; }
    WebpPicture(const WebpPicture&) = delete;
    WebpPicture& operator=(const WebpPicture&) = delete;
    ~WebpPicture() { WebPPictureFree(&picture_); }

    bool initialised() const { return initialised_; }
    WebPPicture* get() { return &picture_; }

private:
    WebPPicture picture_ {};
    bool initialised_ = false;
};

int appendToOutput(const uint8_t* data, size_t size, const WebPPicture* picture)
{
    try {
        static_cast<QByteArray*>(picture->custom_ptr)
            ->append(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
        return 1;
    } catch (...) {
        return 0;
    }
}

QString describe(WebPEncodingError error)
{
    switch (error) {
    case VP8_ENC_ERROR_OUT_OF_MEMORY:
    case VP8_ENC_ERROR_BITSTREAM_OUT_OF_MEMORY:
    case VP8_ENC_ERROR_BAD_WRITE:
        return QStringLiteral("out of memory");
    case VP8_ENC_ERROR_BAD_DIMENSION:
        return QStringLiteral("the picture's size is out of range");
    case VP8_ENC_ERROR_PARTITION0_OVERFLOW:
    case VP8_ENC_ERROR_PARTITION_OVERFLOW:
    case VP8_ENC_ERROR_FILE_TOO_BIG:
        return QStringLiteral("the encoded picture is too large");
    default:
        return QStringLiteral("libwebp error %1").arg(static_cast<int>(error));
    }
}

// Lossy VP8 from the colour bytes only: no alpha plane is made, so the file is
// a plain "VP8 " chunk without the extended header.
bool importOpaque(WebPPicture* picture, const QImage& image)
{
    picture->width = image.width();
    picture->height = image.height();
    picture->use_argb = 0;
    if constexpr (kWordsAreBgrxInMemory) {
        return WebPPictureImportBGRX(picture, image.constBits(), static_cast<int>(image.bytesPerLine())) != 0;
    } else {
        const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
        return WebPPictureImportRGB(picture, rgb.constBits(), static_cast<int>(rgb.bytesPerLine())) != 0;
    }
}

} // namespace

QByteArray encodeWebp(const QImage& image)
{
    checkFormatCanHold(ImageFormat::WEBP, image.width(), image.height());
    WebPConfig config;
    WebpPicture picture;
    if (!WebPConfigInit(&config) || !picture.initialised())
        throw AppError(QStringLiteral("WEBP encoding failed: libwebp version mismatch"));
    config.quality = kQuality;
    config.lossless = 0;

    if (!importOpaque(picture.get(), fourBytePixels(image)))
        throw AppError(QStringLiteral("WEBP encoding failed: out of memory"));
    QByteArray output;
    picture.get()->writer = &appendToOutput;
    picture.get()->custom_ptr = &output;
    if (!WebPEncode(&config, picture.get()))
        throw AppError(QStringLiteral("WEBP encoding failed: ") + describe(picture.get()->error_code));
    return output;
}

} // namespace pennolux
