#pragma once

#include "platform/MessageBoxes.h"

namespace pennolux {

// Message boxes of Qt Widgets, always in plain text.
class QtMessageBoxes final : public MessageBoxes {
public:
    void show(QWidget* parent, const QString& title, const QString& text, MessageIcon icon) override;
    bool askYesNo(QWidget* parent, const QString& title, const QString& question) override;
    SaveChoice askSaveChanges(QWidget* parent, const QString& title, const QString& question) override;
    void showModeless(QWidget* parent, const QString& title, const QString& text, MessageIcon icon,
                      std::function<void()> closed) override;
};

} // namespace pennolux
