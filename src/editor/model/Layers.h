#pragma once

#include <QRect>
#include <QString>
#include <QtGlobal>

#include "platform/text/ColorValue.h"
#include "platform/Dialogs.h"

namespace pennolux {

// Each table of a template has this many slots, numbered from 1.
constexpr int kLayerSlots = 99;

enum class LayerKind { None, Text, Shape };

// A layer by kind and number; the number is its slot in the kind's table.
struct LayerRef {
    LayerKind kind = LayerKind::None;
    qint64 number = -1;

    static LayerRef text(qint64 number) { return {LayerKind::Text, number}; }
    static LayerRef shape(qint64 number) { return {LayerKind::Shape, number}; }
    bool isText() const { return kind == LayerKind::Text; }
    bool isShape() const { return kind == LayerKind::Shape; }
    friend bool operator==(const LayerRef&, const LayerRef&) = default;
};

// Position from the canvas's top-left corner (either may be negative or
// beyond the canvas) and size, in canvas pixels.
struct LayerBox {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    QRect rect() const { return QRect(left, top, width, height); }
    friend bool operator==(const LayerBox&, const LayerBox&) = default;
};

enum class HorizontalAlignment { Left, Centre, Right };
enum class VerticalAlignment { Top, Middle, Bottom };

// Where a text layer's lines sit in its box, and whether a text too large for
// the box is drawn smaller. The defaults are the design's: lines from the
// box's top-left, the box following the text.
struct TextAlignment {
    HorizontalAlignment horizontal = HorizontalAlignment::Left;
    VerticalAlignment vertical = VerticalAlignment::Top;
    // A text wider or higher than the box is drawn at the largest whole pixel
    // size that fits, down to kSmallestShrunkPixels.
    bool shrinkToFit = false;

    bool isDefault() const { return *this == TextAlignment{}; }
    friend bool operator==(const TextAlignment&, const TextAlignment&) = default;
};

// Shrink to fit goes no smaller than this (or the font's own size, when that
// is smaller): below it letters stop being legible on any screen or print.
constexpr int kSmallestShrunkPixels = 6;

// Text drawn as lines in the box, clipped to it. With the default alignment
// the box sizes itself to the text whenever the text or the font changes;
// any other alignment, or Shrink to fit, makes the box a fixed frame the
// lines are placed in.
struct TextLayer {
    QString text;
    ColoredFont font;
    LayerBox box;
    TextAlignment alignment;

    // The box stays as it is when the text or the font changes.
    bool hasFixedBox() const { return !alignment.isDefault(); }

    friend bool operator==(const TextLayer&, const TextLayer&) = default;
};

// A filled rectangle with a black outline one pixel wide.
struct ShapeLayer {
    ColorValue fill = colors::clWhite;
    LayerBox box;

    friend bool operator==(const ShapeLayer&, const ShapeLayer&) = default;
};

// "Text 3", "Shape 1": how the layer list names a layer.
QString layerName(LayerRef layer);

} // namespace pennolux
