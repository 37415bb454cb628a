#include "platform/widgets/ColorSwatch.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "platform/widgets/FormHelpers.h"

namespace pennolux {

ColorSwatch::ColorSwatch(QWidget* parent) : QAbstractButton(parent)
{
    setFocusPolicy(Qt::StrongFocus);
}

void ColorSwatch::setFillColor(const QColor& color)
{
    fillColor_ = color;
    update();
}

void ColorSwatch::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    painter.fillRect(rect().adjusted(1, 1, -1, -1), fillColor_);
    paintFocusFrame(painter, *this);
}

// Any button at the moment it goes down, as the design's swatch reacts.
void ColorSwatch::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    emit mousePressed();
}

void ColorSwatch::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
}

void ColorSwatch::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!event->isAutoRepeat()) {
            event->accept();
            emit mousePressed();
            return;
        }
        break;
    default:
        break;
    }
    QAbstractButton::keyPressEvent(event);
}

} // namespace pennolux
