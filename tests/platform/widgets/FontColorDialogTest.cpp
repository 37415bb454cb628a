#include <QAbstractButton>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "AnswerDialog.h"
#include "platform/widgets/FontColorDialog.h"
#include "platform/widgets/QtDialogs.h"

namespace pennolux {
namespace {

using testing::answerNextDialog;

ColoredFont tahomaWithEffects()
{
    QFont font("Tahoma", 12);
    font.setBold(true);
    font.setUnderline(true);
    font.setStrikeOut(true);
    return {font, colors::clWindowText};
}

void confirm(FontColorDialog* dialog)
{
    dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
}

TEST(FontColorDialogTest, ConfirmedUntouchedKeepsTheFontAndTheSystemColor)
{
    answerNextDialog<FontColorDialog>(confirm);
    const std::optional<ColoredFont> result = QtDialogs().pickFont(nullptr, tahomaWithEffects());

    ASSERT_TRUE(result);
    EXPECT_EQ(result->color, colors::clWindowText);
    EXPECT_EQ(result->color.toString(), "clWindowText");
    EXPECT_EQ(result->font.family(), "Tahoma");
    EXPECT_EQ(result->font.pointSize(), 12);
    EXPECT_TRUE(result->font.bold());
    EXPECT_FALSE(result->font.italic());
    EXPECT_TRUE(result->font.underline());
    EXPECT_TRUE(result->font.strikeOut());
}

TEST(FontColorDialogTest, AColorPickedThroughTheColorButtonReplacesTheSystemColor)
{
    answerNextDialog<FontColorDialog>([](FontColorDialog* dialog) {
        answerNextDialog<QColorDialog>([dialog](QColorDialog* colors) {
            colors->setCurrentColor(QColor(10, 20, 30));
            colors->accept();
            QMetaObject::invokeMethod(dialog, [dialog] { confirm(dialog); }, Qt::QueuedConnection);
        });
        dialog->findChild<QPushButton*>("colorButton")->click();
    });
    const std::optional<ColoredFont> result = QtDialogs().pickFont(nullptr, tahomaWithEffects());

    ASSERT_TRUE(result);
    EXPECT_EQ(result->color, ColorValue::fromRgb(QColor(10, 20, 30)));
}

TEST(FontColorDialogTest, CancelledColorDialogLeavesTheColor)
{
    FontColorDialog dialog;
    dialog.setColoredFont(tahomaWithEffects());
    answerNextDialog<QColorDialog>([](QColorDialog* colors) {
        colors->setCurrentColor(Qt::red);
        colors->reject();
    });
    dialog.findChild<QPushButton*>("colorButton")->click();
    EXPECT_EQ(dialog.coloredFont().color, colors::clWindowText);

    dialog.pickColor(Qt::red);
    EXPECT_EQ(dialog.coloredFont().color, ColorValue::fromRgb(Qt::red));
}

TEST(FontColorDialogTest, EscapeInsideTheFontChooserCancelsTheWholeDialog)
{
    answerNextDialog<FontColorDialog>([](FontColorDialog* dialog) {
        QLineEdit* familyEdit = dialog->findChild<QFontDialog*>()->findChild<QLineEdit*>();
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(familyEdit, &escape);
        if (dialog->isVisible()) {
            ADD_FAILURE() << "still open";
            dialog->reject();
        }
    });
    EXPECT_FALSE(QtDialogs().pickFont(nullptr, tahomaWithEffects()));
}

// A family chosen in the list starts in its regular face, whatever the
// face of the family before ("DejaVu Sans" has no "Regular", and Qt's
// chooser would keep the nearest face, its oblique).
TEST(FontColorDialogTest, ChoosingAFamilyTakesItsRegularStyle)
{
    FontColorDialog dialog;
    dialog.setColoredFont({QFont("Tahoma", 9), colors::clWindowText});
    dialog.show();
    // The chooser's first list holds the families, as the user sees them.
    auto* families = dialog.findChild<QFontDialog*>()->findChild<QListView*>();
    ASSERT_NE(families, nullptr);
    const QModelIndexList dejaVu = families->model()->match(families->model()->index(0, 0), Qt::DisplayRole,
                                                            "DejaVu Sans", 1, Qt::MatchExactly);
    ASSERT_EQ(dejaVu.size(), 1);
    families->setCurrentIndex(dejaVu.first());
    QCoreApplication::processEvents();
    const QFont chosen = dialog.coloredFont().font;
    EXPECT_EQ(chosen.family(), "DejaVu Sans");
    EXPECT_FALSE(chosen.italic());
    EXPECT_EQ(chosen.weight(), QFont::Normal);
    EXPECT_EQ(chosen.pointSize(), 9);
}

// As in Qt's own font dialog: the family list has the focus, and Enter there,
// in the size field or on the colour button confirms the dialog instead of
// opening the colours.
TEST(FontColorDialogTest, OpensOnTheFamilyAndEnterConfirms)
{
    for (const char* from : {"family", "size", "colorButton"}) {
        bool colorsOpened = false;
        answerNextDialog<FontColorDialog>([&](FontColorDialog* dialog) {
            QWidget* focused = dialog->focusWidget();
            EXPECT_EQ(focused, dialog->findChild<QFontDialog*>()->findChild<QListView*>());
            if (from == std::string("size"))
                focused = dialog->findChild<QFontDialog*>()->findChildren<QLineEdit*>().value(2);
            else if (from == std::string("colorButton"))
                focused = dialog->findChild<QPushButton*>("colorButton");
            // A colour chooser opened by mistake is closed again, not waited on.
            QTimer::singleShot(100, [&colorsOpened] {
                if (auto* colors = qobject_cast<QColorDialog*>(QApplication::activeModalWidget())) {
                    colorsOpened = true;
                    colors->reject();
                }
            });
            QTest::keyClick(focused, Qt::Key_Return);
            if (dialog->isVisible()) {
                ADD_FAILURE() << "still open";
                dialog->reject();
            }
        });
        const std::optional<ColoredFont> chosen = QtDialogs().pickFont(nullptr, tahomaWithEffects());
        ASSERT_TRUE(chosen) << from;
        EXPECT_EQ(chosen->font.family(), "Tahoma");
        EXPECT_EQ(chosen->color, colors::clWindowText);
        EXPECT_FALSE(colorsOpened);
    }
}

TEST(FontColorDialogTest, TheSampleShowsTheColor)
{
    FontColorDialog dialog;
    dialog.setColoredFont({QFont("Tahoma", 12), ColorValue::fromRgb(QColor(200, 0, 0))});
    dialog.show();
    auto* sample = dialog.findChild<QLineEdit*>("qt_fontDialog_sampleEdit");
    ASSERT_NE(sample, nullptr);
    EXPECT_EQ(sample->palette().color(QPalette::Text), QColor(200, 0, 0));
    dialog.pickColor(QColor(0, 0, 255));
    EXPECT_EQ(sample->palette().color(QPalette::Text), QColor(0, 0, 255));
}

} // namespace
} // namespace pennolux
