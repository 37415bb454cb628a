#pragma once

#include <QImage>
#include <QPoint>
#include <QSize>
#include <QString>
#include <functional>
#include <vector>

#include "editor/model/Template.h"
#include "editor/model/TemplateState.h"
#include "editor/render/RenderFontCache.h"

namespace pennolux {

// What changed in a template, for whoever shows it.
enum class TemplateChange {
    Background,    // the picture
    LayerAdded,    // a new layer, last in creation order
    LayerRemoved,  // a layer deleted; its slot is empty now
    LayerEdited,   // text, font, colour or box of a layer
    Stacking,      // a layer brought to the front
    Replaced,      // everything at once: an undo step, a template opened
    ImageSize,     // the size the template is run at, or following the canvas
    Fields,        // how a list line is read into the layers
    Current,       // another layer is current (no change to the template)
};

// The template being edited on the Advanced page, apart from any widget: the
// background picture, the two tables of layers with their counters, the
// stacking, the current layer and the drag state, with the rules that bind
// them. Every change goes through a method here (so an undo stack or a file
// reader can drive it) and is reported to the listener. Operations addressed
// to an empty slot change nothing. Lives on one thread: it measures texts
// with that thread's fonts.
class TemplateModel {
public:
    using Listener = std::function<void(TemplateChange, LayerRef)>;

    explicit TemplateModel(QImage background = QImage());
    TemplateModel(const TemplateModel&) = delete;
    TemplateModel& operator=(const TemplateModel&) = delete;

    const Template& content() const { return content_; }
    void setListener(Listener listener) { listener_ = std::move(listener); }

    // Counters of the layers ever created; a number is never given twice.
    qint64 TextLayerCount() const { return textLayerCount_; }
    qint64 ShapeLayerCount() const { return shapeLayerCount_; }
    // The layer the editors act on: none and -1 at start.
    LayerKind CurrentLayerKind() const { return current_.kind; }
    qint64 CurrentLayerNumber() const { return current_.number; }
    LayerRef currentLayer() const { return current_; }
    // Every layer that exists, in the order of creation.
    const std::vector<LayerRef>& creationOrder() const { return created_; }

    // A new text layer in the next slot with the text "Text" in the font,
    // sized to its text, centred on the canvas (quotients truncated toward
    // zero), in front and current. Throws AppError when all 99 slots have
    // been given out; nothing changes then.
    qint64 addTextLayer(const ColoredFont& font, QSize canvas);
    // A new shape layer: 65 x 65 at (10, 10), white, in front and current.
    // Throws AppError when all 99 slots have been given out.
    qint64 addShapeLayer();
    // Empties the layer's slot; the current layer stays what it was.
    void deleteLayer(LayerRef layer);

    void makeCurrent(LayerRef layer);
    void bringToFront(LayerRef layer);

    // The text, then the box sized to it, Left and Top kept (a fixed box
    // stays as it is). Throws AppError for a line too long to lay out;
    // nothing changes then.
    void setText(qint64 number, const QString& text);
    // The font (family, size, style, colour), then the box sized to the text
    // unless it is fixed.
    void setFont(qint64 number, const ColoredFont& font);
    // The alignment and Shrink to fit. Leaving the defaults fixes the box as
    // it is; coming back to them sizes it to the text again.
    void setAlignment(qint64 number, const TextAlignment& alignment);
    // A text layer's font colour or a shape layer's fill.
    void setColor(LayerRef layer, ColorValue color);
    // Width and Height set here last until the text or font next changes.
    void setLeft(LayerRef layer, int left);
    void setTop(LayerRef layer, int top);
    void setWidth(LayerRef layer, int width);
    void setHeight(LayerRef layer, int height);
    void moveTo(LayerRef layer, QPoint topLeft);
    // All four at once (a handle dragged); width and height at least 0.
    void setBox(LayerRef layer, const LayerBox& box);
    // The colour the editors show for the layer: font colour or fill.
    std::optional<ColorValue> colorOf(LayerRef layer) const;

    // The picture drawn stretched under all layers, the file it came from
    // and the file's bytes (both empty for the default picture).
    void setBackground(const QImage& picture, const QString& source, const QByteArray& bytes = {});

    // How a run reads each list line into the text layers.
    void setFields(const ListFields& fields);

    // Everything an undo step or a template file puts back, and putting it
    // back: any drag ends, and the listener hears Replaced.
    TemplateState state() const;
    void restore(TemplateState state);
    // The canvas size the template is run at, when a template file set it;
    // invalid while the run follows the window's canvas.
    QSize runCanvas() const { return runCanvas_; }
    // Fixes the size the template is run at and the canvas shows, or with an
    // invalid size lets it follow the canvas again. Throws AppError for a
    // size no image can have (see checkWorkingImageSize); nothing changes then.
    void setRunCanvas(QSize size);

    // The frontmost layer whose box, as far as it lies on a canvas of that
    // size, holds the point; none when the point hits no layer.
    LayerRef layerAt(QPoint point, QSize canvas) const;

    // Dragging a layer by the pointer. A drag begins when the left button is
    // pressed on a layer (the pointer's place inside the layer's box is
    // kept), moves the layer by the pointer's offset without bounds, and ends
    // when the button is released anywhere.
    void beginDrag(LayerRef layer, QPoint pointer);
    // True when the pointer moved a layer.
    bool dragTo(QPoint pointer);
    void endDrag();
    bool Dragging() const { return dragging_; }
    int DragStartX() const { return dragStart_.x(); }
    int DragStartY() const { return dragStart_.y(); }
    LayerRef draggedLayer() const { return dragged_; }

private:
    LayerRef addLayer(LayerKind kind);
    void changed(TemplateChange change, LayerRef layer);
    void resizeToText(TextLayer& layer);
    template <typename Edit>
    void editTextLayer(qint64 number, Edit edit);
    template <typename Edit>
    void editBox(LayerRef layer, Edit edit);

    Template content_;
    qint64 textLayerCount_ = 0;
    qint64 shapeLayerCount_ = 0;
    LayerRef current_;
    std::vector<LayerRef> created_;
    QSize runCanvas_;
    bool dragging_ = false;
    QPoint dragStart_;
    LayerRef dragged_;
    RenderFontCache fonts_;
    Listener listener_;
};

} // namespace pennolux
