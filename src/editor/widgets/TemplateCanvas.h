#pragma once

#include <QImage>
#include <QWidget>

#include "editor/model/Layers.h"
#include "editor/render/TemplateRenderer.h"

namespace pennolux {

class TemplateHistory;
class TemplateModel;
class TemplateSession;

// The canvas: shows the session's template exactly as the Advanced run draws
// its images (the same renderer, into an image of the canvas's size, copied
// to the screen pixel for pixel) and turns the pointer into edits of it. A
// press on a layer makes it current and brings it to the front; the left
// button drags it until released anywhere. With the focus here (shown by a
// focus frame over the picture, the one thing the images never hold) the
// arrow keys move the current layer a pixel (ten with Shift). A press and
// everything up to the release is one undo step; so are key moves of one
// layer that follow one another.
class TemplateCanvas : public QWidget {
    Q_OBJECT
public:
    explicit TemplateCanvas(TemplateSession& session, QWidget* parent = nullptr);

    // Draws the template anew at the next paint; call after every change.
    void refresh();
    // What the canvas shows now, as the run would draw it.
    QImage picture();

signals:
    // A button was pressed on the layer, now current and in front.
    void layerPressed(LayerRef layer);
    // The pointer or the keyboard moved the layer.
    void layerMoved(LayerRef layer);

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
    TemplateModel& model_;
    TemplateHistory& history_;
    bool dragMoved_ = false;  // the layer pressed on has moved since the press
    TemplateRenderer renderer_;
    QImage picture_;
};

} // namespace pennolux
