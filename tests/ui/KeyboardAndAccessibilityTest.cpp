#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include "MainWindowFixture.h"
#include "SpokenName.h"
#include "platform/widgets/ColorSwatch.h"

using namespace pennolux;
using namespace pennolux::testing;

namespace {

// The window shown and active, so key presses go where a user's would.
class KeyboardTest : public MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        useScratchDestination(window->ComboBoxDestination1);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    // Combo and spin boxes hand the focus to their inner line edit.
    static QWidget* focusOwner()
    {
        QWidget* focused = QApplication::focusWidget();
        QWidget* parent = focused ? focused->parentWidget() : nullptr;
        if (qobject_cast<QLineEdit*>(focused) &&
            (qobject_cast<QComboBox*>(parent) || qobject_cast<QAbstractSpinBox*>(parent)))
            return parent;
        return focused;
    }
};

TEST_F(KeyboardTest, TabLeavesTheListAndShiftTabComesBack)
{
    window->MemoList->setFocus(Qt::TabFocusReason);
    const QString before = window->MemoList->toPlainText();
    QTest::keyClick(window->MemoList, Qt::Key_Tab);
    EXPECT_NE(focusOwner(), window->MemoList);
    EXPECT_EQ(window->MemoList->toPlainText(), before);
    EXPECT_FALSE(window->MemoList->toPlainText().contains(u'\t'));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    EXPECT_EQ(focusOwner(), window->MemoList);
}

TEST_F(KeyboardTest, EnterAndSpacePressTheFocusedButton)
{
    window->MemoList->setPlainText("a@example.com");
    window->Button4->setFocus(Qt::TabFocusReason);
    QTest::keyClick(window->Button4, Qt::Key_Return);
    EXPECT_EQ(outputFiles(), QStringList({"Output1.png"}));
    QTest::keyClick(window->Button4, Qt::Key_Enter);
    EXPECT_EQ(outputFiles().size(), 2);

    window->ButtonBrowse->setFocus(Qt::TabFocusReason);
    QTest::keyClick(window->ButtonBrowse, Qt::Key_Return);
    EXPECT_EQ(fakes.dialogs.folderPickerOpened, 1);
    window->Button5->setFocus(Qt::TabFocusReason);
    QTest::keyClick(window->Button5, Qt::Key_Space);
    EXPECT_EQ(fakes.dialogs.fontDialogOpened, 1);
    window->Shape2->setFocus(Qt::TabFocusReason);
    QTest::keyClick(window->Shape2, Qt::Key_Space);
    QTest::keyClick(window->Shape2, Qt::Key_Return);
    EXPECT_EQ(fakes.dialogs.colorDialogOpened, 2);
}

TEST_F(KeyboardTest, F10AndALoneAltReachTheMenusAndArrowsWalkThem)
{
    QMenuBar* menus = window->menuBar();
    QStringList titles;
    for (const QAction* menu : menus->actions())
        titles << menu->text();
    EXPECT_EQ(titles, QStringList({"&File", "&Edit", "&Settings", "&Help"}));

    window->Button4->setFocus();
    QTest::keyClick(window.get(), Qt::Key_F10);
    ASSERT_NE(menus->activeAction(), nullptr);
    EXPECT_EQ(menus->activeAction()->text(), "&File");
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : menus, Qt::Key_Escape);
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : menus, Qt::Key_Escape);

    window->Button4->setFocus();
    QTest::keyPress(window->Button4, Qt::Key_Alt, Qt::AltModifier);
    QTest::keyRelease(window->Button4, Qt::Key_Alt);
    ASSERT_NE(menus->activeAction(), nullptr);
    EXPECT_EQ(menus->activeAction()->text(), "&File");
    QTest::keyClick(menus, Qt::Key_Right);
    EXPECT_EQ(menus->activeAction()->text(), "&Edit");
    QTest::keyClick(menus, Qt::Key_Right);
    EXPECT_EQ(menus->activeAction()->text(), "&Settings");
}

// What a screen reader reads: every control the user can reach has a name.
TEST_F(MainWindowFixture, EveryInteractiveControlHasAnAccessibleName)
{
    window->show();
    QStringList nameless;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        const bool interactive = widget->focusPolicy() != Qt::NoFocus || qobject_cast<QAbstractButton*>(widget);
        if (!interactive || !widget->isVisibleTo(window.get()) || qobject_cast<QLineEdit*>(widget))
            continue;
        if (spokenName(widget).isEmpty())
            nameless << QString("%1 (%2)").arg(widget->objectName(), widget->metaObject()->className());
    }
    EXPECT_TRUE(nameless.isEmpty()) << nameless.join(", ").toStdString();

    auto nameOf = [](QWidget* widget) { return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name); };
    EXPECT_EQ(nameOf(window->Button1), "Clear list");
    EXPECT_EQ(nameOf(window->Button2), "Open list...");
    EXPECT_EQ(nameOf(window->Button3), "Save list...");
    EXPECT_EQ(nameOf(window->Shape2), "Background colour");
    EXPECT_EQ(nameOf(window->MemoList), "Text list");
    EXPECT_EQ(nameOf(window->SpinEdit5), "Margin (Left):");
    EXPECT_EQ(nameOf(window->SpinEdit8), "Margin (Bottom):");
    // Qt names an editable box on Linux by its text and lets its label speak
    // through the "labelled by" relation, as screen readers there expect.
    QAccessibleInterface* destinationBox = QAccessible::queryAccessibleInterface(window->ComboBoxDestination1);
    QStringList labels;
    for (const auto& [other, relation] : destinationBox->relations(QAccessible::Label))
        labels << other->text(QAccessible::Name);
    EXPECT_EQ(labels, QStringList("Destination:"));
}

TEST_F(MainWindowFixture, ListButtonsSitAtTheirDesignedPlaces)
{
    window->show();
    EXPECT_EQ(window->Button1->mapTo(window->PanelList, QPoint()).x(), 2);
    EXPECT_EQ(window->Button2->mapTo(window->PanelList, QPoint()).x(), 28);
    EXPECT_EQ(window->Button3->mapTo(window->PanelList, QPoint()).x(), 54);
}

// An emptied margin field counts as 0 when START is pressed, also after the
// field lost the focus to the button.
TEST_F(KeyboardTest, AnEmptiedMarginCountsAsZero)
{
    window->MemoList->setPlainText("x");
    QTest::mouseClick(window->Button4, Qt::LeftButton);
    const int widthWithMarginOne = QImage(destination + "/Output1.png").width();

    window->SpinEdit5->setFocus(Qt::TabFocusReason);
    auto* text = window->SpinEdit5->findChild<QLineEdit*>();
    text->selectAll();
    QTest::keyClick(text, Qt::Key_Delete);
    QTest::mouseClick(window->Button4, Qt::LeftButton);
    EXPECT_EQ(QImage(destination + "/Output1 (2).png").width(), widthWithMarginOne - 1);
    EXPECT_EQ(window->SpinEdit5->value(), 0);
}

TEST_F(MainWindowFixture, ListDialogsHaveTitlesAndStartWhereTheLastListWas)
{
    window->Button2->click();
    EXPECT_EQ(fakes.dialogs.lastOpenRequest.title, "Open");
    EXPECT_EQ(fakes.dialogs.lastOpenRequest.startFolder, QDir::homePath());
    window->Button3->click();
    EXPECT_EQ(fakes.dialogs.lastSaveRequest.title, "Save As");
    EXPECT_EQ(fakes.dialogs.lastSaveRequest.startFolder, QDir::homePath());

    QDir().mkpath(scratch() + "/lists");
    const QString list = writeScratchFile("lists/list.txt", "one\ntwo");
    fakes.dialogs.openResult = list;
    window->Button2->click();
    window->Button3->click();
    EXPECT_EQ(fakes.dialogs.lastSaveRequest.startFolder, scratch() + "/lists");

    // A file that vanished between the dialog and the reading still gets the error box.
    fakes.dialogs.openResult = scratch() + "/lists/gone.txt";
    window->Button2->click();
    ASSERT_EQ(fakes.messageBoxes.shown.size(), 1u);
    EXPECT_EQ(fakes.messageBoxes.shown[0].title, "Pennolux");
    EXPECT_EQ(window->MemoList->toPlainText(), "one\ntwo");
}

} // namespace

