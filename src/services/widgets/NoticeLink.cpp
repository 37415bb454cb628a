#include "NoticeLink.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace pennolux {

NoticeLink::NoticeLink(QWidget* parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
}

void NoticeLink::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit activated();
    QLabel::mouseReleaseEvent(event);
}

void NoticeLink::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Space) {
        emit activated();
        return;
    }
    QLabel::keyPressEvent(event);
}

} // namespace pennolux
