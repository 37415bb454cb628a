#pragma once

#include <QLabel>

namespace pennolux {

// A label that works as a web link: a hand pointer, a left click, and for
// the keyboard a tab stop that Enter or Space follows. Screen readers see a
// link with a press action.
class LinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit LinkLabel(QWidget* parent = nullptr);

    // What a click, Enter, Space or the accessible press action does.
    void activate();

signals:
    void activated();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool pressed_ = false;
};

} // namespace pennolux
