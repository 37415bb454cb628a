#include <QAbstractItemView>
#include <QComboBox>
#include <QDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QSpinBox>
#include <QTest>
#include <gtest/gtest.h>

#include "platform/widgets/FormHelpers.h"

using namespace pennolux;

namespace {

// The field's text as typed, before it loses the focus and fixes itself up.
void typeInto(QSpinBox& field, const QString& text)
{
    field.selectAll();
    QTest::keyClick(&field, Qt::Key_Backspace);
    QTest::keyClicks(&field, text);
}

TEST(FormHelpersTest, AFieldCountsAsTheWholeNumberItShowsElseZero)
{
    struct Case {
        const char* typed;
        int expected;
    };
    const Case cases[] = {
        {"", 0},      // emptied
        {"42", 42},   // typed, not yet taken by value()
        {"0", 0},
        {"007", 7},
    };
    for (const Case& c : cases) {
        QSpinBox field;
        field.setRange(0, 999999);
        field.setValue(5);
        field.setSuffix(" px");
        typeInto(field, c.typed);
        EXPECT_EQ(wholeNumberOrZero(field), c.expected) << "typed \"" << c.typed << "\"";
    }
}

TEST(FormHelpersTest, ACaptionNamesEditableAndFixedBoxesAlike)
{
    QWidget page;
    auto* editable = new QComboBox(&page);
    editable->setEditable(true);
    auto* fixed = new QComboBox(&page);  // has no text editor of its own
    QLabel* editableCaption = addFieldLabel(&page, "Destination:", editable);
    QLabel* fixedCaption = addFieldLabel(&page, "Kind:", fixed);

    EXPECT_EQ(editableCaption->buddy(), editable);
    EXPECT_EQ(editable->lineEdit()->accessibleName(), "Destination:");
    EXPECT_EQ(editable->view()->accessibleName(), "Destination:");
    EXPECT_EQ(fixedCaption->buddy(), fixed);
    EXPECT_EQ(fixed->view()->accessibleName(), "Kind:");
    EXPECT_EQ(addFieldLabel(&page, "<b>x</b>")->textFormat(), Qt::PlainText);
}

TEST(FormHelpersTest, AWindowIsCentredOnItsParentsScreenWhetherShownOrNot)
{
    QWidget parent;
    parent.show();
    QDialog dialog(&parent);
    dialog.resize(300, 200);
    const QPoint centre = parent.screen()->availableGeometry().center();

    centreOnScreen(dialog);
    EXPECT_LE((dialog.frameGeometry().center() - centre).manhattanLength(), 1);

    dialog.show();
    dialog.move(0, 0);
    centreOnScreen(dialog);
    EXPECT_LE((dialog.frameGeometry().center() - centre).manhattanLength(), 1);
}

} // namespace
