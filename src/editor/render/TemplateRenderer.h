#pragma once

#include <QColor>
#include <QImage>
#include <QSize>
#include <cstddef>

#include "editor/model/Template.h"
#include "editor/render/RenderFontCache.h"

class QPainter;

namespace pennolux {

// Draws templates: the one drawing both the canvas on screen and every image
// of the Advanced run go through, so both show the same pixels. Keeps what
// does not change from one drawing to the next (the picture stretched to the
// canvas, the fonts); each thread that draws has its own.
class TemplateRenderer {
public:
    // Draws the template onto the painter's device at (0, 0) as a canvas of
    // the given size: the canvas colour, the background picture stretched
    // smoothly over the whole canvas, then the layers in stacking order, each
    // clipped to its box and to the canvas. A system colour takes its image
    // value, never the theme's; workers get them resolved (withResolvedColors).
    void draw(QPainter& painter, const Template& content, QSize canvas);

    // The same drawing in a new working image of the canvas's size.
    QImage render(const Template& content, QSize canvas);

    // Only the layers from stacking position `first` on, over what the device holds.
    void drawLayers(QPainter& painter, const Template& content, QSize canvas, std::size_t first);

    RenderFontCache& fonts() { return fonts_; }

private:
    const QImage& backdrop(const Template& content, QSize canvas);
    void drawTextLayer(QPainter& painter, const TextLayer& layer, QSize canvas);

    RenderFontCache fonts_;
    QImage backdrop_;
    qint64 backdropSource_ = 0;
    QRgb backdropColor_ = 0;
};

} // namespace pennolux
