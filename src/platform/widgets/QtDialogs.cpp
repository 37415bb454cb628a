#include "QtDialogs.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QInputDialog>
#include <QLabel>
#include <QPixmap>

#include "FontColorDialog.h"

namespace pennolux {

namespace {

void configureFileDialog(QFileDialog& dialog, const FileDialogRequest& request)
{
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setWindowTitle(request.title);
    dialog.setNameFilters(request.nameFilters);
    dialog.setDefaultSuffix(request.defaultSuffix);
    dialog.setDirectory(request.startFolder);
}

constexpr int kPreviewSide = 160;

// A pane right of the file list showing the picture under the cursor.
void addPreview(QFileDialog& dialog, const std::function<QImage(const QString&, QSize)>& preview)
{
    auto* grid = qobject_cast<QGridLayout*>(dialog.layout());
    if (!grid || !preview)
        return;
    auto* pane = new QLabel(&dialog);
    pane->setObjectName(QStringLiteral("previewPane"));
    pane->setAccessibleName(QStringLiteral("Preview"));
    pane->setFixedSize(kPreviewSide, kPreviewSide);
    pane->setAlignment(Qt::AlignCenter);
    pane->setFrameShape(QFrame::StyledPanel);
    grid->addWidget(pane, 1, grid->columnCount(), 1, 1);
    QObject::connect(&dialog, &QFileDialog::currentChanged, pane, [pane, preview](const QString& path) {
        const QImage picture = QFileInfo(path).isFile() ? preview(path, pane->contentsRect().size()) : QImage();
        if (picture.isNull())
            pane->clear();
        else
            pane->setPixmap(QPixmap::fromImage(picture));
    });
}

std::optional<QString> firstSelected(QFileDialog& dialog);

std::optional<QString> runFileDialog(QWidget* parent, const FileDialogRequest& request,
                                     QFileDialog::AcceptMode acceptMode, QFileDialog::FileMode fileMode)
{
    QFileDialog dialog(parent);
    configureFileDialog(dialog, request);
    dialog.setAcceptMode(acceptMode);
    dialog.setFileMode(fileMode);
    if (acceptMode == QFileDialog::AcceptOpen)
        addPreview(dialog, request.preview);
    return firstSelected(dialog);
}

std::optional<QString> firstSelected(QFileDialog& dialog)
{
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty())
        return std::nullopt;
    return chosen.first();
}

} // namespace

std::optional<QString> QtDialogs::pickFolder(QWidget* parent, const QString& title, const QString& acceptLabel,
                                             const QString& startFolder)
{
    QFileDialog dialog(parent, title);
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::ShowDirsOnly);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setLabelText(QFileDialog::Accept, acceptLabel);
    // Opened in the folder with no name typed, "Select" answers the folder
    // shown: the start folder, or wherever the user went.
    dialog.setDirectory(startFolder);
    const std::optional<QString> chosen = firstSelected(dialog);
    // The dialog refuses names that do not exist, but a folder may vanish or
    // turn out to be a file between the check and here.
    if (!chosen || !QFileInfo(*chosen).isDir())
        return std::nullopt;
    return chosen;
}

std::optional<QColor> QtDialogs::pickColor(QWidget* parent, const QColor& initial)
{
    QColorDialog dialog(initial, parent);
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.selectedColor();
}

std::optional<ColoredFont> QtDialogs::pickFont(QWidget* parent, const ColoredFont& initial)
{
    FontColorDialog dialog(parent);
    dialog.setColoredFont(initial);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.coloredFont();
}

std::optional<QString> QtDialogs::openFile(QWidget* parent, const FileDialogRequest& request)
{
    return runFileDialog(parent, request, QFileDialog::AcceptOpen, QFileDialog::ExistingFile);
}

std::optional<QString> QtDialogs::saveFile(QWidget* parent, const FileDialogRequest& request)
{
    // Qt's save dialog asks before overwriting and has no read-only check box.
    return runFileDialog(parent, request, QFileDialog::AcceptSave, QFileDialog::AnyFile);
}

std::optional<QString> QtDialogs::askText(QWidget* parent, const TextRequest& request)
{
    QInputDialog dialog(parent);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(request.title);
    dialog.setLabelText(request.explanation);
    dialog.setTextValue(request.text);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

} // namespace pennolux
