#include "production/writers/ImageSizeLimits.h"

#include "platform/AppError.h"

namespace pennolux {

namespace {

// Far beyond any line of text, yet small enough that the working image
// (4 bytes a pixel) stays well under half a gigabyte.
constexpr std::int64_t kMaxWorkingSide = 65535;
constexpr std::int64_t kMaxWorkingPixels = 100'000'000;

// The largest side each format's encoder accepts.
constexpr std::int64_t kMaxWebpSide = 16383;
constexpr std::int64_t kMaxJpegSide = 65500;

QString sizeText(std::int64_t width, std::int64_t height)
{
    return QStringLiteral("%1 × %2 pixels").arg(width).arg(height);
}

} // namespace

void checkWorkingImageSize(std::int64_t width, std::int64_t height)
{
    if (width < 1 || height < 1) {
        throw AppError(QStringLiteral("The image of %1 is empty (each side needs at least 1 pixel)")
                           .arg(sizeText(width, height)));
    }
    // Each side is bounded first, so the product below cannot overflow.
    if (width > kMaxWorkingSide || height > kMaxWorkingSide || width * height > kMaxWorkingPixels) {
        throw AppError(QStringLiteral("The image of %1 is too large (at most %2 pixels a side and %3 pixels in all)")
                           .arg(sizeText(width, height))
                           .arg(kMaxWorkingSide)
                           .arg(kMaxWorkingPixels));
    }
}

void checkFormatCanHold(ImageFormat format, std::int64_t width, std::int64_t height)
{
    std::int64_t maxSide = 0;
    QString name;
    switch (format) {
    case ImageFormat::WEBP:
        maxSide = kMaxWebpSide;
        name = QStringLiteral("WEBP");
        break;
    case ImageFormat::JPEG:
        maxSide = kMaxJpegSide;
        name = QStringLiteral("JPEG");
        break;
    case ImageFormat::PNG:
    case ImageFormat::TIFF:
    case ImageFormat::GIF:
    case ImageFormat::BMP:
        return;
    }
    if (width > maxSide || height > maxSide) {
        throw AppError(QStringLiteral("%1 cannot hold an image of %2 (at most %3 pixels a side)")
                           .arg(name, sizeText(width, height))
                           .arg(maxSide));
    }
}

} // namespace pennolux
