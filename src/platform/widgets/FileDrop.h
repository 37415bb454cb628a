#pragma once

#include <QObject>
#include <QStringList>
#include <functional>

class QMimeData;
class QWidget;

namespace pennolux {

// The local files a drag carries (file managers send them as file: URLs);
// empty when it carries none, such as plain text.
QStringList droppedLocalFiles(const QMimeData* mimeData);

// Lets a widget take files dragged from the desktop: a drag carrying local
// files is accepted and its drop hands their paths to the receiver. Any
// other drag goes on to the widget's own handling, so text still drops into
// an editor. Owned by the widget.
class FileDropTarget final : public QObject {
public:
    using Receiver = std::function<void(const QStringList& paths)>;

    // For a scroll area (a text editor) the drops reach its viewport, which
    // is the widget to give.
    static FileDropTarget* install(QWidget& widget, Receiver receiver);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    FileDropTarget(QWidget& widget, Receiver receiver);

    Receiver receiver_;
};

} // namespace pennolux
