#pragma once

#include <QAbstractButton>
#include <QColor>

namespace pennolux {

// A rectangle with a one-pixel black border, filled with a colour. Any mouse
// button pressed on it is reported, and so are Space and Enter when it has
// the keyboard focus, which it shows with a dotted frame. A button to screen
// readers, named by its accessible name.
class ColorSwatch : public QAbstractButton {
    Q_OBJECT
public:
    explicit ColorSwatch(QWidget* parent = nullptr);

    QColor fillColor() const { return fillColor_; }
    void setFillColor(const QColor& color);

signals:
    void mousePressed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QColor fillColor_ = Qt::white;
};

} // namespace pennolux
