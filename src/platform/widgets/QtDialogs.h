#pragma once

#include "platform/Dialogs.h"

namespace pennolux {

// The common dialogs as Qt's own widgets rather than the desktop's, so the
// captions and button labels appear exactly as given.
class QtDialogs final : public Dialogs {
public:
    std::optional<QString> pickFolder(QWidget* parent, const QString& title, const QString& acceptLabel,
                                      const QString& startFolder) override;
    std::optional<QColor> pickColor(QWidget* parent, const QColor& initial) override;
    std::optional<ColoredFont> pickFont(QWidget* parent, const ColoredFont& initial) override;
    std::optional<QString> openFile(QWidget* parent, const FileDialogRequest& request) override;
    std::optional<QString> saveFile(QWidget* parent, const FileDialogRequest& request) override;
    std::optional<QString> askText(QWidget* parent, const TextRequest& request) override;
};

} // namespace pennolux
