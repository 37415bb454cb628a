#include "production/writers/ImageEncoders.h"

namespace pennolux {

ImageEncoder EncoderFor(ImageFormat format)
{
    switch (format) {
    case ImageFormat::PNG:
        return &EncodePNG;
    case ImageFormat::WEBP:
        return &EncodeWEBP;
    case ImageFormat::JPEG:
        return &EncodeJPEG;
    case ImageFormat::TIFF:
        return &EncodeTIFF;
    case ImageFormat::GIF:
        return &EncodeGIF;
    case ImageFormat::BMP:
        break;
    }
    return &EncodeBMP;
}

} // namespace pennolux
