#include "production/writers/ImageFormat.h"

namespace pennolux {

QString extensionFor(ImageFormat format)
{
    switch (format) {
    case ImageFormat::PNG:
        return QStringLiteral(".png");
    case ImageFormat::WEBP:
        return QStringLiteral(".webp");
    case ImageFormat::JPEG:
        return QStringLiteral(".jpg");
    case ImageFormat::TIFF:
        return QStringLiteral(".tiff");
    case ImageFormat::GIF:
        return QStringLiteral(".gif");
    case ImageFormat::BMP:
        break;
    }
    // Anything that is none of the others is written as a bitmap.
    return QStringLiteral(".bmp");
}

std::optional<ImageFormat> imageFormatFromName(const QString& name)
{
    struct Alias {
        const char* name;
        ImageFormat format;
    };
    static constexpr Alias kAliases[] = {
        {"png", ImageFormat::PNG},   {"webp", ImageFormat::WEBP}, {"jpeg", ImageFormat::JPEG},
        {"jpg", ImageFormat::JPEG},  {"tiff", ImageFormat::TIFF}, {"tif", ImageFormat::TIFF},
        {"gif", ImageFormat::GIF},   {"bmp", ImageFormat::BMP},
    };
    for (const Alias& alias : kAliases) {
        if (name.compare(QLatin1String(alias.name), Qt::CaseInsensitive) == 0)
            return alias.format;
    }
    return std::nullopt;
}

} // namespace pennolux
