#pragma once

#include <QLabel>

namespace pennolux {

// A label that acts as a link: a left click, or Enter or Space while it has
// the focus, emits activated().
class NoticeLink final : public QLabel {
    Q_OBJECT
public:
    explicit NoticeLink(QWidget* parent = nullptr);

signals:
    void activated();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace pennolux
