#pragma once

#include <optional>

#include "platform/Dialogs.h"

namespace pennolux::testing {

// Each dialog returns its preset result (nullopt: the user cancels) and
// remembers what it was opened with.
class FakeDialogs final : public Dialogs {
public:
    std::optional<QString> pickFolder(QWidget*, const QString& title, const QString& acceptLabel,
                                      const QString& startFolder) override
    {
        ++folderPickerOpened;
        lastFolderTitle = title;
        lastFolderAccept = acceptLabel;
        lastFolderStart = startFolder;
        return folderResult;
    }
    std::optional<QColor> pickColor(QWidget*, const QColor& initial) override
    {
        ++colorDialogOpened;
        lastColorInitial = initial;
        return colorResult;
    }
    std::optional<ColoredFont> pickFont(QWidget*, const ColoredFont& initial) override
    {
        ++fontDialogOpened;
        lastFontInitial = initial;
        return fontResult;
    }
    std::optional<QString> openFile(QWidget*, const FileDialogRequest& request) override
    {
        lastOpenRequest = request;
        return openResult;
    }
    std::optional<QString> saveFile(QWidget*, const FileDialogRequest& request) override
    {
        lastSaveRequest = request;
        return saveResult;
    }
    std::optional<QString> askText(QWidget*, const TextRequest& request) override
    {
        ++textDialogOpened;
        lastTextRequest = request;
        return textResult;
    }

    std::optional<QString> folderResult;
    std::optional<QColor> colorResult;
    std::optional<ColoredFont> fontResult;
    std::optional<QString> openResult;
    std::optional<QString> saveResult;
    std::optional<QString> textResult;

    int folderPickerOpened = 0;
    int colorDialogOpened = 0;
    int fontDialogOpened = 0;
    int textDialogOpened = 0;
    QString lastFolderTitle, lastFolderAccept, lastFolderStart;
    QColor lastColorInitial;
    ColoredFont lastFontInitial;
    FileDialogRequest lastOpenRequest, lastSaveRequest;
    TextRequest lastTextRequest;
};

} // namespace pennolux::testing
