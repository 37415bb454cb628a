#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <gtest/gtest.h>

#include "AnswerDialog.h"
#include "IsolatedHomeTest.h"
#include "platform/widgets/QtDialogs.h"

namespace pennolux {
namespace {

using testing::answerNextDialog;

// The file dialog checks the typed name in its own accept(), as its button does.
void pressAccept(QFileDialog* dialog)
{
    static_cast<QDialog*>(dialog)->accept();
}

class QtDialogsTest : public testing::IsolatedHomeTest {
protected:
    QtDialogs dialogs;
};

TEST_F(QtDialogsTest, FolderPickerOpensOnTheStartFolderAndConfirmsIt)
{
    const QString start = scratch();
    answerNextDialog<QFileDialog>([&](QFileDialog* dialog) {
        EXPECT_EQ(dialog->windowTitle(), "Select folder:");
        EXPECT_EQ(dialog->labelText(QFileDialog::Accept), "Select");
        EXPECT_EQ(dialog->fileMode(), QFileDialog::Directory);
        EXPECT_TRUE(dialog->testOption(QFileDialog::ShowDirsOnly));
        EXPECT_EQ(dialog->directory().absolutePath(), start);
        pressAccept(dialog);
    });
    EXPECT_EQ(dialogs.pickFolder(nullptr, "Select folder:", "Select", start), start);
}

TEST_F(QtDialogsTest, FolderPickerForgetsTheStartFolderOnceTheUserMovesOn)
{
    const QString start = scratch() + "/start";
    ASSERT_TRUE(QDir(scratch()).mkdir("start"));
    answerNextDialog<QFileDialog>([](QFileDialog* dialog) {
        dialog->findChild<QToolButton*>("toParentButton")->click();
        pressAccept(dialog);
    });
    EXPECT_EQ(dialogs.pickFolder(nullptr, "Select folder:", "Select", start), scratch());
}

TEST_F(QtDialogsTest, SaveDialogAddsTheDefaultSuffixInTheStartFolder)
{
    const FileDialogRequest request{"Save", {"TXT File (*.txt)", "Any File (*)"}, "txt", scratch()};
    answerNextDialog<QFileDialog>([this](QFileDialog* dialog) {
        EXPECT_EQ(dialog->windowTitle(), "Save");
        EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
        EXPECT_EQ(dialog->nameFilters(), QStringList({"TXT File (*.txt)", "Any File (*)"}));
        EXPECT_FALSE(dialog->testOption(QFileDialog::DontConfirmOverwrite));
        EXPECT_EQ(dialog->directory().absolutePath(), scratch());
        dialog->findChild<QLineEdit*>("fileNameEdit")->setText("list");
        pressAccept(dialog);
    });
    EXPECT_EQ(dialogs.saveFile(nullptr, request), scratch() + "/list.txt");
}

TEST_F(QtDialogsTest, OpenDialogShowsThePreviewOfTheFileUnderTheCursor)
{
    const QString picture = writeScratchFile("picture.png", "bytes");
    FileDialogRequest request{"Open", {"All (*.png)"}, {}, scratch()};
    QStringList asked;
    request.preview = [&asked](const QString& path, QSize box) {
        asked << path;
        QImage image(box / 2, QImage::Format_RGB32);
        image.fill(Qt::red);
        return image;
    };
    answerNextDialog<QFileDialog>([&](QFileDialog* dialog) {
        auto* pane = dialog->findChild<QLabel*>("previewPane");
        ASSERT_NE(pane, nullptr);
        EXPECT_EQ(pane->accessibleName(), "Preview");
        emit dialog->currentChanged(picture);
        EXPECT_FALSE(pane->pixmap().isNull());
        emit dialog->currentChanged(scratch());
        EXPECT_TRUE(pane->pixmap().isNull());
        dialog->reject();
    });
    EXPECT_EQ(dialogs.openFile(nullptr, request), std::nullopt);
    EXPECT_EQ(asked, QStringList{picture});
}

} // namespace
} // namespace pennolux
