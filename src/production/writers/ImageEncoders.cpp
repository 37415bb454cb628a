#include "production/writers/ImageEncoders.h"

namespace pennolux {

ImageEncoder encoderFor(ImageFormat format)
{
    switch (format) {
    case ImageFormat::PNG:
        return &encodePng;
    case ImageFormat::WEBP:
        return &encodeWebp;
    case ImageFormat::JPEG:
        return &encodeJpeg;
    case ImageFormat::TIFF:
        return &encodeTiff;
    case ImageFormat::GIF:
        return &encodeGif;
    case ImageFormat::BMP:
        break;
    }
    return &encodeBmp;
}

} // namespace pennolux
