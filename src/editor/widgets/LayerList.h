#pragma once

#include <QListWidget>

namespace pennolux {

// The layer list: single selection, one item per layer. The right button
// opens the context menu without touching the selection, and the Delete key
// asks for the same deletion as the menu.
class LayerList : public QListWidget {
    Q_OBJECT
public:
    explicit LayerList(QWidget* parent = nullptr);

signals:
    void deleteRequested();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace pennolux
