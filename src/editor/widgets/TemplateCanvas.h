#pragma once

#include <QImage>
#include <QString>
#include <QWidget>
#include <optional>

#include "editor/model/BoxHandles.h"
#include "editor/model/Layers.h"
#include "editor/render/TemplateRenderer.h"

namespace pennolux {

class TemplateHistory;
class TemplateModel;
class TemplateSession;

// The canvas: shows the session's template exactly as the Advanced run draws
// its images and turns the pointer into edits of it. The image is drawn at
// its own size by the run's renderer, then shown whole: scaled once to the
// screen's device pixels to fit the canvas (never enlarged past one image
// pixel a pixel of the window), centred on a neutral surround. At 100 % on a
// screen of one device pixel a pixel it is the run's image pixel for pixel.
// While the image follows the canvas it has the canvas's size and fills it.
//
// Everything the pointer and the keys do is in image pixels. A press on a
// layer makes it current and brings it to the front; the left button drags
// it until released anywhere. The current layer wears a frame, and one whose
// box can be resized (hasResizableBox) eight handles to drag; the frame and
// the focus frame are drawn on the screen only, never in the images. With
// the focus here the arrow keys move the current layer a pixel (ten with
// Shift), and Delete or Backspace deletes it. A press and everything up to
// the release is one undo step; so are key moves of one layer that follow
// one another.
//
// It can show the template filled with a list line instead (showLine), as
// START writes that line's image; the frame and the handles then follow the
// filled layers' boxes, while everything the pointer does still edits the
// template's own layers.
class TemplateCanvas : public QWidget {
    Q_OBJECT
public:
    explicit TemplateCanvas(TemplateSession& session, QWidget* parent = nullptr);

    // Draws the template anew at the next paint; call after every change.
    void refresh();
    // The image the canvas shows now, at the image's size, as the run would draw it.
    QImage picture();
    // Shows the template filled with the line (withLine), or with none the
    // layers' own texts; a line not valid in the template's field format
    // shows them too.
    void showLine(const std::optional<QString>& line);
    // Whether the canvas shows a list line now (valid in the format).
    bool showsLine();

    // The size of the images a run makes now: the template's, or the canvas's own.
    QSize imageSize() const;
    // Pixels of the window per image pixel, at most 1.
    double zoom() const;
    // Where the image lies on the canvas, in the canvas's pixels.
    QRectF imageRect() const;
    // The image pixel under a point of the canvas (outside the image when
    // the point is on the surround).
    QPoint imagePoint(QPointF canvasPoint) const;
    // A rectangle of image pixels as it lies on the canvas.
    QRectF canvasRect(const QRect& imageArea) const;

    // The surround's colour, the same on every desktop.
    static QColor surroundColor();

signals:
    // A button was pressed on the layer, now current and in front.
    void layerPressed(LayerRef layer);
    // The pointer or the keyboard moved or resized the layer.
    void layerMoved(LayerRef layer);
    // The image's size or the zoom may have changed.
    void viewChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The image's place in device pixels: its size there and its top-left corner.
    struct Placement {
        QSize deviceSize;
        QPoint deviceTopLeft;
        double deviceRatio = 1;
    };
    Placement placement() const;
    const QImage& shownPicture();
    // The template as shown: filled with the line shown, else the model's.
    const Template& shownContent();
    void drawSelection(QPainter& painter);
    // The current layer's handle near the point of the canvas, or 0.
    BoxHandle handleAt(QPointF canvasPoint);
    // The frontmost layer whose box as shown holds the image point.
    LayerRef shownLayerAt(QPoint point);
    bool deleteCurrentLayer();

    TemplateSession& session_;
    TemplateModel& model_;
    TemplateHistory& history_;
    bool dragMoved_ = false;  // the layer pressed on has moved since the press
    // A handle being dragged: which one, the box at the press and the press's place.
    BoxHandle resizing_ = 0;
    LayerRef resized_;
    LayerBox resizeStart_;
    QPointF resizePress_;
    TemplateRenderer renderer_;
    QImage picture_;
    QImage shown_;  // picture_ at the size it is shown, in device pixels
    std::optional<QString> line_;    // the list line shown
    std::optional<Template> filled_;  // the template filled with it, once worked out
    bool lineFills_ = false;          // the line was valid: filled_ holds it
};

} // namespace pennolux
