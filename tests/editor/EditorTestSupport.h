#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

#include "SamePixels.h"
#include "editor/model/Template.h"

namespace pennolux::testing {

// Tahoma 24 pt in a plain colour: the font of a new text layer, resolved.
ColoredFont layerFont(const QColor& color = Qt::black, int pointSize = 24);

// A template over a picture of one colour, without layers.
Template solidTemplate(const QColor& color, QSize pictureSize = QSize(640, 300));

// Adds a layer on top of the stacking, in the next free slot of its table.
LayerRef addText(Template& content, const QString& text, const LayerBox& box, const QColor& color = Qt::black);
LayerRef addShape(Template& content, const LayerBox& box, const QColor& fill);

// Pixels of the image inside the area that are not the colour.
int pixelsOtherThan(const QImage& image, const QRect& area, const QColor& color);
// Pixels of the image inside the area within `tolerance` of the colour per channel.
int pixelsNear(const QImage& image, const QRect& area, const QColor& color, int tolerance = 0);
// The smallest rectangle holding every pixel that is not the colour; null
// when there is none.
QRect inkBounds(const QImage& image, const QColor& background);
// The images as RGB32 are pixel for pixel the same.

} // namespace pennolux::testing
