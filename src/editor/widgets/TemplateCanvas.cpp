#include "editor/widgets/TemplateCanvas.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPen>
#include <algorithm>
#include <cmath>

#include "editor/run/TemplateLineEncoder.h"
#include "editor/session/TemplateSession.h"
#include "platform/AppError.h"

namespace pennolux {

namespace {

constexpr int kLargeStep = 10;
constexpr int kFocusFrameWidth = 2;
// Handles are squares of this side in the window's pixels, and the pointer
// takes a handle from this far.
constexpr int kHandleSide = 7;
constexpr int kHandleReach = 5;

Qt::CursorShape cursorFor(BoxHandle handle)
{
    switch (handle) {
    case MovesLeft | MovesTop:
    case MovesRight | MovesBottom:
        return Qt::SizeFDiagCursor;
    case MovesRight | MovesTop:
    case MovesLeft | MovesBottom:
        return Qt::SizeBDiagCursor;
    case MovesLeft:
    case MovesRight:
        return Qt::SizeHorCursor;
    default:
        return Qt::SizeVerCursor;
    }
}

} // namespace

TemplateCanvas::TemplateCanvas(TemplateSession& session, QWidget* parent)
    : QWidget(parent), session_(session), model_(session.model()), history_(session.history())
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
}

QColor TemplateCanvas::surroundColor()
{
    return QColor(0x80, 0x80, 0x80);
}

void TemplateCanvas::refresh()
{
    filled_.reset();
    picture_ = QImage();
    shown_ = QImage();
    update();
    emit viewChanged();
}

QSize TemplateCanvas::imageSize() const
{
    return session_.runCanvasSize(size());
}

QImage TemplateCanvas::picture()
{
    const QSize image = imageSize();
    if (picture_.size() != image && !image.isEmpty())
        picture_ = renderer_.render(withResolvedColors(shownContent()), image);
    return picture_;
}

void TemplateCanvas::showLine(const std::optional<QString>& line)
{
    if (line == line_)
        return;
    line_ = line;
    refresh();
}

bool TemplateCanvas::showsLine()
{
    shownContent();
    return line_ && lineFills_;
}

// Worked out once per change of the template or the line, as the run fills
// its layers; each layer sized to its field's text.
const Template& TemplateCanvas::shownContent()
{
    if (!line_)
        return model_.content();
    if (!filled_) {
        try {
            filled_ = withLine(model_.content(), *line_, renderer_.fonts());
            lineFills_ = true;
        } catch (const AppError&) {
            filled_ = model_.content();
            lineFills_ = false;
        }
    }
    return *filled_;
}

LayerRef TemplateCanvas::shownLayerAt(QPoint point)
{
    if (!QRect(QPoint(0, 0), imageSize()).contains(point))
        return {};
    const Template& shown = shownContent();
    for (auto layer = shown.stacking.rbegin(); layer != shown.stacking.rend(); ++layer) {
        const LayerBox* box = shown.boxOf(*layer);
        if (box && box->rect().contains(point))
            return *layer;
    }
    return {};
}

// Worked out in device pixels, so the image starts on a whole device pixel
// and is scaled by the one factor that fits it.
TemplateCanvas::Placement TemplateCanvas::placement() const
{
    Placement place;
    place.deviceRatio = devicePixelRatioF();
    const QSize image = imageSize();
    if (image.isEmpty())
        return place;
    const double ratio = place.deviceRatio;
    const QSizeF area = QSizeF(size()) * ratio;
    const double fit = std::min({ratio, area.width() / image.width(), area.height() / image.height()});
    place.deviceSize = QSize(std::max(1, int(std::lround(image.width() * fit))),
                             std::max(1, int(std::lround(image.height() * fit))));
    place.deviceTopLeft = QPoint(int(std::floor((area.width() - place.deviceSize.width()) / 2)),
                                 int(std::floor((area.height() - place.deviceSize.height()) / 2)));
    return place;
}

double TemplateCanvas::zoom() const
{
    const Placement place = placement();
    const QSize image = imageSize();
    return image.isEmpty() ? 1.0 : place.deviceSize.width() / (place.deviceRatio * image.width());
}

QRectF TemplateCanvas::imageRect() const
{
    const Placement place = placement();
    return QRectF(QPointF(place.deviceTopLeft) / place.deviceRatio, QSizeF(place.deviceSize) / place.deviceRatio);
}

QPoint TemplateCanvas::imagePoint(QPointF canvasPoint) const
{
    const QRectF shown = imageRect();
    const QSize image = imageSize();
    if (shown.isEmpty())
        return {};
    return QPoint(int(std::floor((canvasPoint.x() - shown.left()) * image.width() / shown.width())),
                  int(std::floor((canvasPoint.y() - shown.top()) * image.height() / shown.height())));
}

QRectF TemplateCanvas::canvasRect(const QRect& imageArea) const
{
    const QRectF shown = imageRect();
    const QSize image = imageSize();
    if (image.isEmpty())
        return {};
    const double scaleX = shown.width() / image.width();
    const double scaleY = shown.height() / image.height();
    return QRectF(shown.left() + imageArea.left() * scaleX, shown.top() + imageArea.top() * scaleY,
                  imageArea.width() * scaleX, imageArea.height() * scaleY);
}

// Scaled once from the image the run would write: by whole factors pixel by
// pixel, so the enlarged pixels stay sharp; otherwise smoothly.
const QImage& TemplateCanvas::shownPicture()
{
    const Placement place = placement();
    const QImage image = picture();
    if (shown_.size() != place.deviceSize || shown_.isNull()) {
        if (image.size() == place.deviceSize) {
            shown_ = image;
        } else {
            const bool wholeFactor = place.deviceSize.width() % image.width() == 0 &&
                                     place.deviceSize.height() % image.height() == 0 &&
                                     place.deviceSize.width() / image.width() ==
                                         place.deviceSize.height() / image.height();
            shown_ = image.scaled(place.deviceSize, Qt::IgnoreAspectRatio,
                                  wholeFactor ? Qt::FastTransformation : Qt::SmoothTransformation);
        }
        shown_.setDevicePixelRatio(place.deviceRatio);
    }
    return shown_;
}

void TemplateCanvas::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRectF shown = imageRect();
    if (shown != QRectF(rect())) {
        painter.fillRect(rect(), surroundColor());
    }
    if (!imageSize().isEmpty())
        painter.drawImage(shown.topLeft(), shownPicture());
    drawSelection(painter);
    if (hasFocus()) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), kFocusFrameWidth));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
    }
}

// Black and white dashes, seen on any picture.
void TemplateCanvas::drawSelection(QPainter& painter)
{
    const LayerRef layer = model_.currentLayer();
    const LayerBox* box = shownContent().boxOf(layer);
    if (!box)
        return;
    const QRectF frame = canvasRect(box->rect()).adjusted(-0.5, -0.5, 0.5, 0.5);
    painter.save();
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::black, 1));
    painter.drawRect(frame);
    QPen dashes(Qt::white, 1, Qt::CustomDashLine);
    dashes.setDashPattern({3, 3});
    painter.setPen(dashes);
    painter.drawRect(frame);
    if (hasResizableBox(model_.content(), layer)) {
        painter.setPen(QPen(Qt::black, 1));
        painter.setBrush(Qt::white);
        for (const BoxHandle handle : kBoxHandles) {
            const QPointF centre = handlePoint(frame.toRect(), handle);
            painter.drawRect(QRectF(centre - QPointF(kHandleSide / 2.0, kHandleSide / 2.0),
                                    QSizeF(kHandleSide, kHandleSide)));
        }
    }
    painter.restore();
}

BoxHandle TemplateCanvas::handleAt(QPointF canvasPoint)
{
    const LayerRef layer = model_.currentLayer();
    const LayerBox* box = shownContent().boxOf(layer);
    if (!box || !hasResizableBox(model_.content(), layer))
        return 0;
    const QRect frame = canvasRect(box->rect()).adjusted(-0.5, -0.5, 0.5, 0.5).toRect();
    for (const BoxHandle handle : kBoxHandles) {
        const QPointF offset = canvasPoint - QPointF(handlePoint(frame, handle));
        if (std::abs(offset.x()) <= kHandleReach && std::abs(offset.y()) <= kHandleReach)
            return handle;
    }
    return 0;
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
    const QPointF position = event->position();
    if (event->button() == Qt::LeftButton) {
        if (const BoxHandle handle = handleAt(position)) {
            event->accept();
            resized_ = model_.currentLayer();
            history_.beginStep(QStringLiteral("Resize %1").arg(layerName(resized_)));
            resizing_ = handle;
            resizeStart_ = *model_.content().boxOf(resized_);
            resizePress_ = position;
            return;
        }
    }
    const QPoint point = imagePoint(position);
    const LayerRef layer = shownLayerAt(point);
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
    update();
    emit layerPressed(layer);
}

void TemplateCanvas::mouseMoveEvent(QMouseEvent* event)
{
    const QPointF position = event->position();
    if (resizing_) {
        const double scale = zoom();
        const QPointF moved = (position - resizePress_) / scale;
        const QPoint offset(int(std::lround(moved.x())), int(std::lround(moved.y())));
        const LayerBox* box = model_.content().boxOf(resized_);
        const LayerBox resized = resizedBox(resizeStart_, resizing_, offset);
        if (box && *box != resized) {
            model_.setBox(resized_, resized);
            emit layerMoved(resized_);
        }
        return;
    }
    const QPoint point = imagePoint(position);
    if (model_.Dragging()) {
        const LayerRef layer = model_.draggedLayer();
        if (model_.dragTo(point)) {
            dragMoved_ = true;
            emit layerMoved(layer);
        }
        return;
    }
    if (const BoxHandle handle = handleAt(position))
        setCursor(cursorFor(handle));
    else
        setCursor(shownLayerAt(point).kind == LayerKind::None ? Qt::ArrowCursor : Qt::PointingHandCursor);
}

void TemplateCanvas::mouseReleaseEvent(QMouseEvent* event)
{
    if (resizing_) {
        resizing_ = 0;
        history_.endStep();
        resized_ = {};
        QWidget::mouseReleaseEvent(event);
        return;
    }
    const LayerRef layer = model_.draggedLayer();
    model_.endDrag();
    if (dragMoved_)
        history_.endStep(QStringLiteral("Move %1").arg(layerName(layer)));
    else
        history_.endStep();
    dragMoved_ = false;
    QWidget::mouseReleaseEvent(event);
}

bool TemplateCanvas::deleteCurrentLayer()
{
    const LayerRef layer = model_.currentLayer();
    if (!model_.content().holds(layer) || model_.Dragging() || resizing_)
        return false;
    history_.record(QStringLiteral("Delete %1").arg(layerName(layer)), [this, layer] { model_.deleteLayer(layer); });
    return true;
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
    case Qt::Key_Delete:
    case Qt::Key_Backspace:
        event->accept();
        deleteCurrentLayer();
        return;
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
