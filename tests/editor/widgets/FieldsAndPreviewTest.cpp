#include <QAction>
#include <QCheckBox>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>
#include <QUndoStack>
#include <gtest/gtest.h>

#include "SpokenName.h"
#include "TemplatePageFixture.h"
#include "editor/history/TemplateHistory.h"
#include "production/textlist/ListLines.h"

using namespace pennolux;
using namespace pennolux::testing;

namespace {

// The page with Text 1, 2 and 3 one above the other, none over another.
class FieldsPageTest : public TemplatePageTest {
protected:
    void SetUp() override
    {
        TemplatePageTest::SetUp();
        for (int layer = 1; layer <= 3; ++layer) {
            page->BitBtn6Click();
            model().moveTo(LayerRef::text(layer), QPoint(10, 10 + 60 * (layer - 1)));
        }
        session.history().stack().clear();
    }
    void follow(const QString& list, int cursorLine) { page->followList(ListTextLineSource(list), cursorLine); }
    const QUndoStack& steps() { return session.history().stack(); }
};

TEST_F(FieldsPageTest, TheFieldsMenuSetsTheTemplateAsOneUndoStepAndShowsItBack)
{
    EXPECT_TRUE(page->oneFieldItem->isChecked());
    EXPECT_FALSE(page->previewLineBox->isChecked());
    EXPECT_EQ(page->fieldsButton->text(), "Fields: one per line");
    EXPECT_EQ(page->fieldsButton->menu(), page->fieldsMenu);
    EXPECT_EQ(page->fieldsButton->popupMode(), QToolButton::InstantPopup);

    page->tabFieldsItem->trigger();
    EXPECT_EQ(model().content().fields, (ListFields{FieldFormat::TabSeparated, false}));
    EXPECT_EQ(steps().count(), 1);
    EXPECT_EQ(steps().undoText(), "Fields");
    EXPECT_EQ(page->fieldsButton->text(), "Fields: tabs");
    // Fields in the lines: the canvas shows the list's line at once.
    EXPECT_TRUE(page->previewLineBox->isChecked());

    page->headerLineItem->trigger();
    EXPECT_EQ(model().content().fields, (ListFields{FieldFormat::TabSeparated, true}));
    EXPECT_EQ(steps().count(), 2);
    EXPECT_EQ(page->fieldsButton->text(), "Fields: tabs, header");

    page->commaFieldsItem->trigger();
    EXPECT_EQ(model().content().fields, (ListFields{FieldFormat::CommaSeparated, true}));
    EXPECT_FALSE(page->tabFieldsItem->isChecked());

    // Undo shows the model's choice in the menu; back at one field per line
    // the layers show their own texts again.
    session.history().undo();
    EXPECT_TRUE(page->tabFieldsItem->isChecked());
    EXPECT_TRUE(page->headerLineItem->isChecked());
    session.history().undo();
    session.history().undo();
    EXPECT_TRUE(page->oneFieldItem->isChecked());
    EXPECT_FALSE(page->headerLineItem->isChecked());
    EXPECT_FALSE(page->previewLineBox->isChecked());
    EXPECT_EQ(page->fieldsButton->text(), "Fields: one per line");
    session.history().redo();
    EXPECT_TRUE(page->tabFieldsItem->isChecked());
    EXPECT_TRUE(page->previewLineBox->isChecked());
    EXPECT_TRUE(messageBoxes.shown.empty());
}

// A view setting: neither a change to the template nor an undo step.
TEST_F(FieldsPageTest, PreviewLineIsAViewSettingTheUserMayToggle)
{
    page->tabFieldsItem->trigger();
    const int stepsBefore = steps().count();
    const bool modified = session.isModified();
    follow("Anna Keller\tAcme\tanna@acme.example", 0);
    EXPECT_TRUE(page->previewsListLine());
    page->previewLineBox->click();
    EXPECT_FALSE(page->previewLineBox->isChecked());
    EXPECT_FALSE(page->previewsListLine());
    EXPECT_EQ(steps().count(), stepsBefore);
    EXPECT_EQ(session.isModified(), modified);
    // On also with one field per line, where Text 1 takes the whole line.
    session.history().undo();
    page->previewLineBox->click();
    EXPECT_TRUE(page->previewsListLine());
    // The layers keep their own texts whatever the canvas shows.
    EXPECT_EQ(model().content().textLayer(1)->text, "Text");
}

TEST_F(FieldsPageTest, OnlyALineThatMakesAnImageIsShown)
{
    page->commaFieldsItem->trigger();
    page->headerLineItem->trigger();
    const QString list = "name,company\n\"Smith, John\",Acme\n\n\"unclosed,Acme";
    const struct {
        int cursorLine;
        bool shown;
    } cases[] = {{0, false}, {1, true}, {2, false}, {3, false}, {7, false}};
    for (const auto& c : cases) {
        follow(list, c.cursorLine);
        EXPECT_EQ(page->previewsListLine(), c.shown) << "line " << c.cursorLine;
    }
    // Without a header the first line is a record like any other.
    page->headerLineItem->trigger();
    follow(list, 0);
    EXPECT_TRUE(page->previewsListLine());
}

// The frame follows the filled layer, and so does the pointer: a press on
// the field's longer text takes the layer, and a drag moves the model's layer.
TEST_F(FieldsPageTest, ThePointerActsOnTheLayersAsShown)
{
    page->tabFieldsItem->trigger();
    follow("Anna Keller wears a very long name\tAcme\tanna@acme.example", 0);
    const LayerBox own = boxOf(LayerRef::text(1));
    const QPoint beyondOwnText(own.left + own.width + 20, own.top + own.height / 2);
    model().makeCurrent(LayerRef::text(2));
    const QPoint onCanvas = page->Panel9->canvasRect(QRect(beyondOwnText, QSize(1, 1))).center().toPoint();
    sendMouse(page->Panel9, QEvent::MouseButtonPress, onCanvas, Qt::LeftButton, Qt::LeftButton);
    sendMouse(page->Panel9, QEvent::MouseMove, onCanvas + QPoint(5, 7), Qt::NoButton, Qt::LeftButton);
    sendMouse(page->Panel9, QEvent::MouseButtonRelease, onCanvas + QPoint(5, 7), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(model().currentLayer(), LayerRef::text(1));
    EXPECT_EQ(boxOf(LayerRef::text(1)).left, own.left + 5);
    EXPECT_EQ(boxOf(LayerRef::text(1)).top, own.top + 7);
    EXPECT_EQ(model().content().textLayer(1)->text, "Text");
}

TEST_F(FieldsPageTest, AHeaderLineNamesTheTextLayersInTheList)
{
    page->BitBtn7Click();
    follow("name\tcompany\temail\nAnna Keller\tAcme\tanna@acme.example", 1);
    EXPECT_EQ(listNames(), (QStringList{"Text 1", "Text 2", "Text 3", "Shape 1"}));
    page->tabFieldsItem->trigger();
    page->headerLineItem->trigger();
    EXPECT_EQ(listNames(), (QStringList{"Text 1 (name)", "Text 2 (company)", "Text 3 (email)", "Shape 1"}));
    // The names follow the first line; a field left empty names nothing.
    follow("name\t\tmail\nAnna Keller\tAcme\tanna@acme.example", 1);
    EXPECT_EQ(listNames(), (QStringList{"Text 1 (name)", "Text 2", "Text 3 (mail)", "Shape 1"}));
    // A layer added or an undo step keeps them.
    page->BitBtn6Click();
    follow("name\t\tmail\tphone", 0);
    EXPECT_EQ(listNames().last(), "Text 4 (phone)");
    session.history().undo();
    EXPECT_EQ(listNames(), (QStringList{"Text 1 (name)", "Text 2", "Text 3 (mail)", "Shape 1"}));
    // The undo captions keep the layers' own names.
    EXPECT_EQ(steps().redoText(), "New Text");
    page->headerLineItem->trigger();
    EXPECT_EQ(listNames(), (QStringList{"Text 1", "Text 2", "Text 3", "Shape 1"}));
}

TEST_F(FieldsPageTest, TheNewControlsAreNamedAndFollowTheirBrowseButtonsInTheTabOrder)
{
    EXPECT_EQ(spokenName(page->fieldsButton), "Fields: one field per line");
    EXPECT_EQ(spokenName(page->previewLineBox), "Preview line");
    page->tabFieldsItem->trigger();
    page->headerLineItem->trigger();
    EXPECT_EQ(spokenName(page->fieldsButton), "Fields: tab-separated, first line names the fields");
    const auto afterTab = [](QWidget* control) {
        control->setFocus(Qt::TabFocusReason);
        QTest::keyClick(control, Qt::Key_Tab);
        return QApplication::focusWidget();
    };
    EXPECT_EQ(afterTab(page->Button7), page->fieldsButton);
    EXPECT_EQ(afterTab(page->Button8), page->previewLineBox);
    EXPECT_EQ(afterTab(page->previewLineBox), static_cast<QWidget*>(page->Button6));
    // Right of the Browse... buttons, within the page at its design size.
    EXPECT_GT(page->fieldsButton->geometry().left(), page->Button7->geometry().right());
    EXPECT_LE(page->fieldsButton->geometry().right(), page->fieldsButton->parentWidget()->width());
    EXPECT_EQ(page->Panel9->size(), kDesignCanvas);
}

} // namespace
