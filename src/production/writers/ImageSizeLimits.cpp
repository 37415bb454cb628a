#include "production/writers/ImageSizeLimits.h"

#include "platform/AppError.h"

namespace pennolux {

namespace {

// The most each file format can carry. PNG and TIFF reach far beyond the
// working image; GIF stores sides in 16 bits; a BMP's file size is 32 bits.
struct FormatLimit {
    ImageFormat format;
    const char* name;
    SizeLimits limits;
};

constexpr FormatLimit kFormatLimits[] = {
    {ImageFormat::PNG, "PNG", {0x7fffffff, INT64_MAX}},
    {ImageFormat::WEBP, "WEBP", {16383, INT64_MAX}},
    {ImageFormat::JPEG, "JPEG", {65500, INT64_MAX}},
    {ImageFormat::TIFF, "TIFF", {0x7fffffff, INT64_MAX}},
    {ImageFormat::GIF, "GIF", {65535, INT64_MAX}},
    {ImageFormat::BMP, "BMP", {0x7fffffff, (0xffffffffLL - 54) / 4}},
};

const FormatLimit& limitOf(ImageFormat format)
{
    for (const FormatLimit& entry : kFormatLimits) {
        if (entry.format == format)
            return entry;
    }
    return kFormatLimits[std::size(kFormatLimits) - 1];
}

bool exceeds(const SizeLimits& limits, std::int64_t width, std::int64_t height)
{
    // Each side is bounded first, so the product cannot overflow.
    return width > limits.maxSide || height > limits.maxSide || width * height > limits.maxPixels;
}

QString limitsText(const SizeLimits& limits)
{
    if (limits.maxPixels == INT64_MAX)
        return QStringLiteral("at most %1 pixels a side").arg(limits.maxSide);
    if (limits.maxSide >= 0x7fffffff)
        return QStringLiteral("at most %1 pixels in all").arg(limits.maxPixels);
    return QStringLiteral("at most %1 pixels a side and %2 pixels in all").arg(limits.maxSide).arg(limits.maxPixels);
}

} // namespace

SizeLimits formatLimits(ImageFormat format)
{
    return limitOf(format).limits;
}

QString imageSizeText(std::int64_t width, std::int64_t height)
{
    return QStringLiteral("%1 × %2 pixels").arg(width).arg(height);
}

void checkWorkingImageSize(std::int64_t width, std::int64_t height)
{
    if (width < 1 || height < 1) {
        throw AppError(QStringLiteral("The image of %1 is empty (each side needs at least 1 pixel)")
                           .arg(imageSizeText(width, height)));
    }
    if (exceeds(kWorkingImageLimits, width, height)) {
        throw AppError(QStringLiteral("The image of %1 is too large (%2)")
                           .arg(imageSizeText(width, height), limitsText(kWorkingImageLimits)));
    }
}

void checkFormatCanHold(ImageFormat format, std::int64_t width, std::int64_t height)
{
    const FormatLimit& entry = limitOf(format);
    if (exceeds(entry.limits, width, height)) {
        throw AppError(QStringLiteral("%1 cannot hold an image of %2 (%3)")
                           .arg(QLatin1String(entry.name), imageSizeText(width, height), limitsText(entry.limits)));
    }
}

} // namespace pennolux
