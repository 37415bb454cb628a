#pragma once

#include <QListWidget>

namespace pennolux {

// The layer list: single selection, one item per layer. The right button
// asks for the context menu without touching the selection (an item view
// would select the item under it), and the Delete key asks for the same
// deletion as the menu.
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
