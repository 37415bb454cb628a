#include "editor/model/TemplateModel.h"

#include <algorithm>

#include "editor/render/TextLayerLayout.h"
#include "platform/AppError.h"
#include "production/writers/ImageSizeLimits.h"

namespace pennolux {

namespace {

const QString kNewLayerText = QStringLiteral("Text");
constexpr LayerBox kNewShapeBox{10, 10, 65, 65};

} // namespace

TemplateModel::TemplateModel(QImage background)
{
    content_.background = std::move(background);
}

void TemplateModel::changed(TemplateChange change, LayerRef layer)
{
    if (listener_)
        listener_(change, layer);
}

LayerRef TemplateModel::addLayer(LayerKind kind)
{
    qint64& count = kind == LayerKind::Text ? textLayerCount_ : shapeLayerCount_;
    // Numbers are never given twice, so the numbers can run out while a
    // deleted layer's slot stands empty; the message says which happened.
    if (count >= kLayerSlots) {
        const bool isText = kind == LayerKind::Text;
        qint64 held = 0;
        for (qint64 number = 1; number <= kLayerSlots; ++number)
            held += content_.holds({kind, number}) ? 1 : 0;
        if (held >= kLayerSlots) {
            throw AppError(QStringLiteral("A template holds at most %1 %2 layers.")
                               .arg(kLayerSlots)
                               .arg(isText ? QStringLiteral("text") : QStringLiteral("shape")));
        }
        throw AppError(QStringLiteral("%1 layers are numbered 1 to %2 and every number has been given; "
                                      "a deleted layer's number is not given again.")
                           .arg(isText ? QStringLiteral("Text") : QStringLiteral("Shape"))
                           .arg(kLayerSlots));
    }
    return {kind, count + 1};
}

qint64 TemplateModel::addTextLayer(const ColoredFont& font, QSize canvas)
{
    const LayerRef layer = addLayer(LayerKind::Text);
    TextLayer text{kNewLayerText, font, {}, {}};
    resizeToText(text);
    // C++ division truncates toward zero, as the centring asks.
    text.box.left = (canvas.width() - text.box.width) / 2;
    text.box.top = (canvas.height() - text.box.height) / 2;

    textLayerCount_ = layer.number;
    content_.TextLayers[std::size_t(layer.number - 1)] = std::move(text);
    content_.stacking.push_back(layer);
    created_.push_back(layer);
    current_ = layer;
    changed(TemplateChange::LayerAdded, layer);
    return layer.number;
}

qint64 TemplateModel::addShapeLayer()
{
    const LayerRef layer = addLayer(LayerKind::Shape);
    shapeLayerCount_ = layer.number;
    content_.ShapeLayers[std::size_t(layer.number - 1)] = ShapeLayer{colors::clWhite, kNewShapeBox};
    content_.stacking.push_back(layer);
    created_.push_back(layer);
    current_ = layer;
    changed(TemplateChange::LayerAdded, layer);
    return layer.number;
}

void TemplateModel::deleteLayer(LayerRef layer)
{
    if (!content_.holds(layer))
        return;
    if (layer.isText())
        content_.TextLayers[std::size_t(layer.number - 1)].reset();
    else
        content_.ShapeLayers[std::size_t(layer.number - 1)].reset();
    std::erase(content_.stacking, layer);
    std::erase(created_, layer);
    if (dragged_ == layer)
        endDrag();
    changed(TemplateChange::LayerRemoved, layer);
}

void TemplateModel::makeCurrent(LayerRef layer)
{
    if (current_ == layer)
        return;
    current_ = layer;
    changed(TemplateChange::Current, layer);
}

void TemplateModel::bringToFront(LayerRef layer)
{
    if (!content_.holds(layer) || content_.stacking.back() == layer)
        return;
    std::erase(content_.stacking, layer);
    content_.stacking.push_back(layer);
    changed(TemplateChange::Stacking, layer);
}

void TemplateModel::resizeToText(TextLayer& layer)
{
    if (layer.hasFixedBox())
        return;
    const QSize extent = textLayerExtent(layer.text, fonts_.fontFor(layer.font.font));
    layer.box.width = extent.width();
    layer.box.height = extent.height();
}

// The layer changes only once its new size is known, so a text or font too
// large to measure leaves it as it was.
template <typename Edit>
void TemplateModel::editTextLayer(qint64 number, Edit edit)
{
    TextLayer* layer = content_.textLayer(number);
    if (!layer)
        return;
    TextLayer edited = *layer;
    edit(edited);
    resizeToText(edited);
    *layer = std::move(edited);
    changed(TemplateChange::LayerEdited, LayerRef::text(number));
}

void TemplateModel::setText(qint64 number, const QString& text)
{
    editTextLayer(number, [&](TextLayer& layer) { layer.text = text; });
}

void TemplateModel::setFont(qint64 number, const ColoredFont& font)
{
    editTextLayer(number, [&](TextLayer& layer) { layer.font = font; });
}

void TemplateModel::setAlignment(qint64 number, const TextAlignment& alignment)
{
    const TextLayer* layer = content_.textLayer(number);
    if (!layer || layer->alignment == alignment)
        return;
    editTextLayer(number, [&](TextLayer& edited) { edited.alignment = alignment; });
}

void TemplateModel::setColor(LayerRef layer, ColorValue color)
{
    if (TextLayer* text = layer.isText() ? content_.textLayer(layer.number) : nullptr)
        text->font.color = color;
    else if (ShapeLayer* shape = layer.isShape() ? content_.shapeLayer(layer.number) : nullptr)
        shape->fill = color;
    else
        return;
    changed(TemplateChange::LayerEdited, layer);
}

std::optional<ColorValue> TemplateModel::colorOf(LayerRef layer) const
{
    if (const TextLayer* text = layer.isText() ? content_.textLayer(layer.number) : nullptr)
        return text->font.color;
    if (const ShapeLayer* shape = layer.isShape() ? content_.shapeLayer(layer.number) : nullptr)
        return shape->fill;
    return std::nullopt;
}

template <typename Edit>
void TemplateModel::editBox(LayerRef layer, Edit edit)
{
    LayerBox* box = content_.boxOf(layer);
    if (!box)
        return;
    const LayerBox before = *box;
    edit(*box);
    if (*box != before)
        changed(TemplateChange::LayerEdited, layer);
}

void TemplateModel::setLeft(LayerRef layer, int left)
{
    editBox(layer, [left](LayerBox& box) { box.left = left; });
}

void TemplateModel::setTop(LayerRef layer, int top)
{
    editBox(layer, [top](LayerBox& box) { box.top = top; });
}

void TemplateModel::setWidth(LayerRef layer, int width)
{
    editBox(layer, [width](LayerBox& box) { box.width = std::max(width, 0); });
}

void TemplateModel::setHeight(LayerRef layer, int height)
{
    editBox(layer, [height](LayerBox& box) { box.height = std::max(height, 0); });
}

void TemplateModel::moveTo(LayerRef layer, QPoint topLeft)
{
    editBox(layer, [topLeft](LayerBox& box) {
        box.left = topLeft.x();
        box.top = topLeft.y();
    });
}

void TemplateModel::setBox(LayerRef layer, const LayerBox& box)
{
    editBox(layer, [&box](LayerBox& edited) {
        edited = box;
        edited.width = std::max(box.width, 0);
        edited.height = std::max(box.height, 0);
    });
}

void TemplateModel::setRunCanvas(QSize size)
{
    if (size.isValid())
        checkWorkingImageSize(size.width(), size.height());
    else
        size = QSize();
    if (size == runCanvas_)
        return;
    runCanvas_ = size;
    changed(TemplateChange::ImageSize, {});
}

void TemplateModel::setBackground(const QImage& picture, const QString& source, const QByteArray& bytes)
{
    content_.background = picture;
    content_.backgroundSource = source;
    content_.backgroundBytes = bytes;
    changed(TemplateChange::Background, {});
}

void TemplateModel::setFields(const ListFields& fields)
{
    if (content_.fields == fields)
        return;
    content_.fields = fields;
    changed(TemplateChange::Fields, {});
}

TemplateState TemplateModel::state() const
{
    return {content_, textLayerCount_, shapeLayerCount_, created_, current_, runCanvas_};
}

void TemplateModel::restore(TemplateState state)
{
    endDrag();
    content_ = std::move(state.content);
    textLayerCount_ = state.textLayerCount;
    shapeLayerCount_ = state.shapeLayerCount;
    created_ = std::move(state.creationOrder);
    current_ = state.current;
    runCanvas_ = state.runCanvas;
    changed(TemplateChange::Replaced, current_);
}

LayerRef TemplateModel::layerAt(QPoint point, QSize canvas) const
{
    if (!QRect(QPoint(0, 0), canvas).contains(point))
        return {};
    for (auto layer = content_.stacking.rbegin(); layer != content_.stacking.rend(); ++layer) {
        const LayerBox* box = content_.boxOf(*layer);
        if (box && box->rect().contains(point))
            return *layer;
    }
    return {};
}

void TemplateModel::beginDrag(LayerRef layer, QPoint pointer)
{
    const LayerBox* box = content_.boxOf(layer);
    if (!box)
        return;
    dragging_ = true;
    dragged_ = layer;
    dragStart_ = pointer - QPoint(box->left, box->top);
}

bool TemplateModel::dragTo(QPoint pointer)
{
    const LayerBox* box = dragging_ ? content_.boxOf(dragged_) : nullptr;
    if (!box)
        return false;
    const QPoint topLeft = pointer - dragStart_;
    if (topLeft == QPoint(box->left, box->top))
        return false;
    moveTo(dragged_, topLeft);
    return true;
}

void TemplateModel::endDrag()
{
    dragging_ = false;
    dragged_ = {};
}

} // namespace pennolux
