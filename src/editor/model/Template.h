#pragma once

#include <QImage>
#include <QString>
#include <array>
#include <optional>
#include <vector>

#include "editor/model/Layers.h"
#include "production/fields/ListFields.h"

namespace pennolux {

// What shows through a picture's transparent parts: the canvas's own colour.
inline constexpr ColorValue kCanvasColor = ColorValue::system(15);  // clBtnFace

// A template as data: everything the canvas shows and every image of the
// Advanced run is drawn from. A plain value, cheap to copy (the picture and
// the texts are shared until written), so a run can take a snapshot.
struct Template {
    QImage background;          // as decoded; always drawn stretched to the canvas
    // The picture's file, or its name in the template file it came from;
    // empty for the default picture.
    QString backgroundSource;
    // The picture file's bytes, which a template file embeds; empty for the
    // default picture.
    QByteArray backgroundBytes;
    ColorValue canvasColor = kCanvasColor;
    // Slot n at index n - 1; an empty slot was never filled or was deleted.
    std::array<std::optional<TextLayer>, kLayerSlots> TextLayers;
    std::array<std::optional<ShapeLayer>, kLayerSlots> ShapeLayers;
    // Lowest first: the order in which the layers were last brought to the front.
    std::vector<LayerRef> stacking;
    // How a run reads each list line into the text layers: field k into Text k.
    ListFields fields;

    // Null for an empty slot or a number outside 1 ... kLayerSlots.
    const TextLayer* textLayer(qint64 number) const;
    TextLayer* textLayer(qint64 number);
    const ShapeLayer* shapeLayer(qint64 number) const;
    ShapeLayer* shapeLayer(qint64 number);
    bool holds(LayerRef layer) const;
    // The box of the layer, or null for an empty slot.
    const LayerBox* boxOf(LayerRef layer) const;
    LayerBox* boxOf(LayerRef layer);
};

// The same layers in the same stacking over the same picture (the very
// image, the same source and bytes).
bool sameTemplate(const Template& left, const Template& right);

// The template with every colour that names a system colour replaced by its
// image value (ColorValue::resolveForImage, never the desktop theme): what
// drawing needs, and all a worker thread can use.
Template withResolvedColors(const Template& content);

} // namespace pennolux
