#pragma once

#include <QString>
#include <optional>

namespace pennolux {

// The six output formats, in the order the Output Format menu lists them.
enum class ImageFormat { PNG, WEBP, JPEG, TIFF, GIF, BMP };

// ".png", ".webp", ".jpg", ".tiff", ".gif", ".bmp"
QString extensionFor(ImageFormat format);
// "png", "webp", "jpeg" (also "jpg"), "tiff" (also "tif"), "gif", "bmp", any case.
std::optional<ImageFormat> imageFormatFromName(const QString& name);

} // namespace pennolux
