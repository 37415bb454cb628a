#pragma once

#include <QColor>
#include <QWidget>

namespace pennolux {

// A rectangle with a one-pixel black border, filled with a colour. Any mouse
// button pressed on it, or Space or Enter while it has the focus, asks for
// another colour.
class ColorBox : public QWidget {
    Q_OBJECT
public:
    explicit ColorBox(QWidget* parent = nullptr);

    QColor fillColor() const { return fillColor_; }
    void setFillColor(const QColor& color);

signals:
    void pressed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QColor fillColor_ = Qt::white;
};

} // namespace pennolux
