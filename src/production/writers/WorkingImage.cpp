#include "production/writers/WorkingImage.h"

#include <new>

#include "production/writers/ImageSizeLimits.h"

namespace pennolux {

void setWorkingResolution(QImage& image)
{
    image.setDotsPerMeterX(kWorkingDotsPerMetre);
    image.setDotsPerMeterY(kWorkingDotsPerMetre);
}

QImage makeWorkingImage(QSize size)
{
    checkWorkingImageSize(size.width(), size.height());
    QImage image(size, QImage::Format_RGB32);
    if (image.isNull())
        throw std::bad_alloc();
    setWorkingResolution(image);
    return image;
}

} // namespace pennolux
