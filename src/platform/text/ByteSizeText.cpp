#include "platform/text/ByteSizeText.h"

namespace pennolux {

QString byteSizeText(qint64 bytes)
{
    constexpr qint64 kMebibyte = 1024 * 1024;
    if (bytes >= kMebibyte && bytes % kMebibyte == 0)
        return QString::number(bytes / kMebibyte) + QStringLiteral(" MiB");
    return QString::number(bytes) + QStringLiteral(" bytes");
}

} // namespace pennolux
