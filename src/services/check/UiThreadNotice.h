#pragma once

#include <QObject>

#include "ImportantNotice.h"

class QWidget;

namespace pennolux {

class MessageBoxes;

// Shows the notice as a box of its own on the thread this object lives on
// (the user-interface thread), leaving the other windows usable, while the
// calling thread waits for it to be closed. The parent window must outlive
// this object.
class UiThreadNotice final : public QObject, public ImportantNotice {
public:
    UiThreadNotice(MessageBoxes& messageBoxes, QWidget* parent);
    void showAndWait(const QString& title, const QString& text, CancelSignal& cancel) override;

private:
    MessageBoxes& messageBoxes_;
    QWidget* parent_;
};

} // namespace pennolux
