#include "production/writers/ImageOutput.h"

#include "production/writers/ImageEncoders.h"
#include "production/writers/OutputNaming.h"

namespace pennolux {

QByteArray encodeImage(const QImage& image, ImageFormat format)
{
    return encoderFor(format)(image);
}

QString storeImage(const QByteArray& bytes, const QString& destination, const QString& baseName,
                   ImageFormat format)
{
    return storeUnderFreeName(destination + u'/' + baseName + extensionFor(format), bytes);
}

} // namespace pennolux
