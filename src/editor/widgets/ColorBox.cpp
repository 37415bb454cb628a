#include "editor/widgets/ColorBox.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

namespace pennolux {

ColorBox::ColorBox(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
}

void ColorBox::setFillColor(const QColor& color)
{
    fillColor_ = color;
    update();
}

void ColorBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    painter.fillRect(rect().adjusted(1, 1, -1, -1), fillColor_);
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect().adjusted(2, 2, -2, -2);
        focus.backgroundColor = fillColor_;
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}

void ColorBox::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    emit pressed();
}

void ColorBox::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        emit pressed();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

} // namespace pennolux
