#include "production/writers/WriteImage.h"

#include "production/writers/ImageEncoders.h"
#include "production/writers/ImageSizeLimits.h"
#include "production/writers/OutputNaming.h"
#include "platform/AppError.h"

namespace pennolux {

QString WriteImage(const QImage& image, const QString& destination, int number, ImageFormat format)
{
    checkFormatCanHold(format, image.width(), image.height());
    const QString path = outputPath(destination, number, format);
    // Encoded in memory first, so the file is created only when there is
    // something whole to put in it.
    QByteArray bytes;
    try {
        bytes = encoderFor(format)(image);
    } catch (const AppError& error) {
        // Reported like a file that cannot be created, under the name it would have had.
        throw fileCreateError(UniqueOutputName(path), error.message());
    }
    return storeUnderFreeName(path, bytes);
}

} // namespace pennolux
