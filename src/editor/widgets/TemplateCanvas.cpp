#include "editor/widgets/TemplateCanvas.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPen>

#include "editor/session/TemplateSession.h"

namespace pennolux {

namespace {

constexpr int kLargeStep = 10;
constexpr int kFocusFrameWidth = 2;

} // namespace

TemplateCanvas::TemplateCanvas(TemplateSession& session, QWidget* parent)
    : QWidget(parent), model_(session.model()), history_(session.history())
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
}

void TemplateCanvas::refresh()
{
    picture_ = QImage();
    update();
}

QImage TemplateCanvas::picture()
{
    if (picture_.size() != size() && !size().isEmpty())
        picture_ = renderer_.render(withResolvedColors(model_.content(), palette()), size());
    return picture_;
}

void TemplateCanvas::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), picture());
    if (hasFocus()) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), kFocusFrameWidth));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
    }
}

void TemplateCanvas::resizeEvent(QResizeEvent*)
{
    refresh();
}

void TemplateCanvas::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange)
        refresh();
    QWidget::changeEvent(event);
}

void TemplateCanvas::focusInEvent(QFocusEvent* event)
{
    update();
    QWidget::focusInEvent(event);
}

void TemplateCanvas::focusOutEvent(QFocusEvent* event)
{
    update();
    QWidget::focusOutEvent(event);
}

void TemplateCanvas::mousePressEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    const LayerRef layer = model_.layerAt(point, size());
    if (layer.kind == LayerKind::None) {
        QWidget::mousePressEvent(event);
        return;
    }
    event->accept();
    history_.beginStep(QStringLiteral("Bring %1 to Front").arg(layerName(layer)));
    dragMoved_ = false;
    model_.makeCurrent(layer);
    model_.bringToFront(layer);
    if (event->button() == Qt::LeftButton)
        model_.beginDrag(layer, point);
    emit layerPressed(layer);
}

void TemplateCanvas::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    if (model_.Dragging()) {
        const LayerRef layer = model_.draggedLayer();
        if (model_.dragTo(point)) {
            dragMoved_ = true;
            emit layerMoved(layer);
        }
        return;
    }
    setCursor(model_.layerAt(point, size()).kind == LayerKind::None ? Qt::ArrowCursor : Qt::PointingHandCursor);
}

void TemplateCanvas::mouseReleaseEvent(QMouseEvent* event)
{
    const LayerRef layer = model_.draggedLayer();
    model_.endDrag();
    if (dragMoved_)
        history_.endStep(QStringLiteral("Move %1").arg(layerName(layer)));
    else
        history_.endStep();
    dragMoved_ = false;
    QWidget::mouseReleaseEvent(event);
}

void TemplateCanvas::keyPressEvent(QKeyEvent* event)
{
    const int step = event->modifiers().testFlag(Qt::ShiftModifier) ? kLargeStep : 1;
    QPoint offset;
    switch (event->key()) {
    case Qt::Key_Left:
        offset = QPoint(-step, 0);
        break;
    case Qt::Key_Right:
        offset = QPoint(step, 0);
        break;
    case Qt::Key_Up:
        offset = QPoint(0, -step);
        break;
    case Qt::Key_Down:
        offset = QPoint(0, step);
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    const LayerRef layer = model_.currentLayer();
    const LayerBox* box = model_.content().boxOf(layer);
    if (!box)
        return;
    const QPoint topLeft = QPoint(box->left, box->top) + offset;
    history_.record(QStringLiteral("Move %1").arg(layerName(layer)), [&] { model_.moveTo(layer, topLeft); },
                    StepKind::Nudge, layer);
    emit layerMoved(layer);
}

} // namespace pennolux
