#include "FileDrop.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>
#include <utility>

namespace pennolux {

QStringList droppedLocalFiles(const QMimeData* mimeData)
{
    QStringList paths;
    if (!mimeData || !mimeData->hasUrls())
        return paths;
    for (const QUrl& url : mimeData->urls()) {
        if (url.isLocalFile())
            paths << url.toLocalFile();
    }
    return paths;
}

FileDropTarget::FileDropTarget(QWidget& widget, Receiver receiver)
    : QObject(&widget), receiver_(std::move(receiver))
{
    widget.setAcceptDrops(true);
    widget.installEventFilter(this);
}

FileDropTarget* FileDropTarget::install(QWidget& widget, Receiver receiver)
{
    return new FileDropTarget(widget, std::move(receiver));
}

bool FileDropTarget::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (droppedLocalFiles(drag->mimeData()).isEmpty())
            break;
        drag->acceptProposedAction();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const QStringList paths = droppedLocalFiles(drop->mimeData());
        if (paths.isEmpty())
            break;
        drop->acceptProposedAction();
        // The files open after the drop has ended: a message box or a long
        // read must not keep the source's drag waiting.
        QMetaObject::invokeMethod(
            this, [this, paths] { receiver_(paths); }, Qt::QueuedConnection);
        return true;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace pennolux
