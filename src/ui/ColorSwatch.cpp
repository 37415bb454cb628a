#include "ColorSwatch.h"

#include <QMouseEvent>
#include <QPainter>

namespace pennolux {

ColorSwatch::ColorSwatch(QWidget* parent) : QWidget(parent) {}

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
}

void ColorSwatch::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    emit mousePressed();
}

} // namespace pennolux
