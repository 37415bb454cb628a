#pragma once

#include <QListWidget>

namespace pennolux {

// The layer list: single selection, one item per layer. The right button
// chooses the item under the pointer (none when it points at no item), then
// asks for the context menu, which acts on that item; the Delete key asks
// for the same deletion as the menu.
class LayerList : public QListWidget {
    Q_OBJECT
public:
    explicit LayerList(QWidget* parent = nullptr);

signals:
    void deleteRequested();
    // The right button or the keyboard's menu key, at this global position.
    void menuRequested(QPoint globalPosition);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
};

} // namespace pennolux
