#include "editor/widgets/LayerList.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>

namespace pennolux {

LayerList::LayerList(QWidget* parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
}

void LayerList::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        event->accept();
        // The menu acts on the item under the pointer, chosen first as the
        // left button would choose it; pointing at no item chooses none.
        if (QListWidgetItem* pointed = itemAt(event->position().toPoint()))
            setCurrentItem(pointed);
        else
            clearSelection();
        emit menuRequested(event->globalPosition().toPoint());
        return;
    }
    QListWidget::mousePressEvent(event);
}

void LayerList::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;
    }
    QListWidget::mouseReleaseEvent(event);
}

void LayerList::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier) {
        event->accept();
        emit deleteRequested();
        return;
    }
    QListWidget::keyPressEvent(event);
}

void LayerList::contextMenuEvent(QContextMenuEvent* event)
{
    event->accept();
    // The mouse's was answered when the button went down.
    if (event->reason() == QContextMenuEvent::Mouse)
        return;
    const QListWidgetItem* item = currentItem();
    const QRect place = item ? visualItemRect(item) : QRect();
    emit menuRequested(viewport()->mapToGlobal(place.isValid() ? place.center() : QPoint(0, 0)));
}

} // namespace pennolux
