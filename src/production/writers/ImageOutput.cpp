#include "production/writers/ImageOutput.h"

#include "production/writers/ImageEncoders.h"
#include "production/writers/OutputNaming.h"

namespace pennolux {

QByteArray encodeImage(const QImage& image, ImageFormat format)
{
    return encoderFor(format)(image);
}

QString storeImage(const QByteArray& bytes, const QString& destination, int number, ImageFormat format)
{
    return storeUnderFreeName(outputPath(destination, number, format), bytes);
}

} // namespace pennolux
