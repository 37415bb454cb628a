#include "EditorTestSupport.h"

#include <cstdlib>

#include "platform/fonts/DesignFont.h"

namespace pennolux::testing {

ColoredFont layerFont(const QColor& color, int pointSize)
{
    return {designFont(pointSize), ColorValue::fromRgb(color)};
}

Template solidTemplate(const QColor& color, QSize pictureSize)
{
    Template content;
    content.background = QImage(pictureSize, QImage::Format_RGB32);
    content.background.fill(color);
    content.canvasColor = ColorValue::fromRgb(QColor(200, 200, 200));
    return content;
}

LayerRef addText(Template& content, const QString& text, const LayerBox& box, const QColor& color)
{
    for (qint64 number = 1; number <= kLayerSlots; ++number) {
        auto& slot = content.TextLayers[std::size_t(number - 1)];
        if (!slot) {
            slot = TextLayer{text, layerFont(color), box, {}};
            content.stacking.push_back(LayerRef::text(number));
            return LayerRef::text(number);
        }
    }
    return {};
}

LayerRef addShape(Template& content, const LayerBox& box, const QColor& fill)
{
    for (qint64 number = 1; number <= kLayerSlots; ++number) {
        auto& slot = content.ShapeLayers[std::size_t(number - 1)];
        if (!slot) {
            slot = ShapeLayer{ColorValue::fromRgb(fill), box};
            content.stacking.push_back(LayerRef::shape(number));
            return LayerRef::shape(number);
        }
    }
    return {};
}

int pixelsOtherThan(const QImage& image, const QRect& area, const QColor& color)
{
    const QRect clipped = area & image.rect();
    int count = 0;
    for (int y = clipped.top(); y <= clipped.bottom(); ++y)
        for (int x = clipped.left(); x <= clipped.right(); ++x)
            count += image.pixel(x, y) != color.rgb();
    return count;
}

int pixelsNear(const QImage& image, const QRect& area, const QColor& color, int tolerance)
{
    const QRect clipped = area & image.rect();
    int count = 0;
    for (int y = clipped.top(); y <= clipped.bottom(); ++y) {
        for (int x = clipped.left(); x <= clipped.right(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            count += std::abs(qRed(pixel) - color.red()) <= tolerance &&
                     std::abs(qGreen(pixel) - color.green()) <= tolerance &&
                     std::abs(qBlue(pixel) - color.blue()) <= tolerance;
        }
    }
    return count;
}

QRect inkBounds(const QImage& image, const QColor& background)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != background.rgb())
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

} // namespace pennolux::testing
