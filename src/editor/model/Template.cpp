#include "editor/model/Template.h"

namespace pennolux {

namespace {

bool inTable(qint64 number)
{
    return number >= 1 && number <= kLayerSlots;
}

template <typename Layer>
Layer* slotOf(std::array<std::optional<Layer>, kLayerSlots>& table, qint64 number)
{
    if (!inTable(number) || !table[std::size_t(number - 1)])
        return nullptr;
    return &*table[std::size_t(number - 1)];
}

ColorValue resolved(ColorValue color)
{
    return color.isSystemColor() ? ColorValue::fromRgb(color.resolveForImage()) : color;
}

} // namespace

const TextLayer* Template::textLayer(qint64 number) const
{
    return const_cast<Template*>(this)->textLayer(number);
}

TextLayer* Template::textLayer(qint64 number)
{
    return slotOf(TextLayers, number);
}

const ShapeLayer* Template::shapeLayer(qint64 number) const
{
    return const_cast<Template*>(this)->shapeLayer(number);
}

ShapeLayer* Template::shapeLayer(qint64 number)
{
    return slotOf(ShapeLayers, number);
}

bool Template::holds(LayerRef layer) const
{
    return boxOf(layer) != nullptr;
}

const LayerBox* Template::boxOf(LayerRef layer) const
{
    return const_cast<Template*>(this)->boxOf(layer);
}

LayerBox* Template::boxOf(LayerRef layer)
{
    if (layer.isText()) {
        TextLayer* text = textLayer(layer.number);
        return text ? &text->box : nullptr;
    }
    if (layer.isShape()) {
        ShapeLayer* shape = shapeLayer(layer.number);
        return shape ? &shape->box : nullptr;
    }
    return nullptr;
}

bool sameTemplate(const Template& left, const Template& right)
{
    return left.background.cacheKey() == right.background.cacheKey() &&
           left.backgroundSource == right.backgroundSource && left.backgroundBytes == right.backgroundBytes &&
           left.canvasColor == right.canvasColor && left.TextLayers == right.TextLayers &&
           left.ShapeLayers == right.ShapeLayers && left.stacking == right.stacking && left.fields == right.fields;
}

Template withResolvedColors(const Template& content)
{
    Template copy = content;
    copy.canvasColor = resolved(copy.canvasColor);
    for (auto& text : copy.TextLayers)
        if (text)
            text->font.color = resolved(text->font.color);
    for (auto& shape : copy.ShapeLayers)
        if (shape)
            shape->fill = resolved(shape->fill);
    return copy;
}

} // namespace pennolux
