#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QImageWriter>
#include <gtest/gtest.h>

#include "SpokenName.h"
#include "EditorTestSupport.h"
#include "TemplatePageFixture.h"
#include "FakeDialogs.h"
#include "IsolatedHomeTest.h"
#include "editor/background/BackgroundPicture.h"
#include "platform/widgets/ColorSwatch.h"
#include "editor/widgets/LayerList.h"
#include "editor/widgets/TemplateCanvas.h"
#include "editor/widgets/TemplatePage.h"
#include "platform/AppError.h"

namespace pennolux {
namespace {

using namespace testing;

TEST_F(TemplatePageTest, RegionsAndControlsHaveTheirDesignedSizes)
{
    EXPECT_EQ(page->Panel9->size(), kDesignCanvas);
    EXPECT_EQ(page->Panel9->width() + page->ListBox1->width(), kDesignCanvas.width() + 127);
    EXPECT_EQ(page->ListBox1->width(), 127);
    EXPECT_EQ(page->BitBtn6->height(), 25);
    EXPECT_EQ(page->BitBtn7->height(), 25);
    EXPECT_LT(page->BitBtn6->y(), page->BitBtn7->y());
    EXPECT_EQ(page->ButtonFont->size(), QSize(123, 50));
    EXPECT_EQ(page->Memo1->height(), 50);
    EXPECT_EQ(page->Memo1->font().pointSize(), 10);
    EXPECT_EQ(page->Shape1->size(), QSize(23, 22));
    EXPECT_EQ(page->Button6->size(), QSize(214, 25));
    EXPECT_TRUE(page->Button6->font().bold());
    EXPECT_EQ(page->Button6->font().pointSize(), 10);
    EXPECT_EQ(page->ComboBoxDestination2->width(), 214);
    EXPECT_GT(page->Button6->y(), page->ComboBoxDestination2->y());
    EXPECT_EQ(page->Button6->x(), page->ComboBoxDestination2->x());
    for (QSpinBox* field : {page->SpinEdit1, page->SpinEdit2, page->SpinEdit3, page->SpinEdit4}) {
        EXPECT_EQ(field->width(), 100);
        EXPECT_EQ(field->minimum(), 0);
        EXPECT_EQ(field->maximum(), 999999);
        EXPECT_EQ(field->value(), 0);
    }
    EXPECT_EQ(page->ComboBox2->currentText(), "[Default Image]");
    QStringList captions;
    for (const QLabel* label : page->findChildren<QLabel*>())
        captions << label->text();
    for (const char* caption : {"Destination:", "Background Image:", "Layers:", "Left:", "Top:", "Width:", "Height:"})
        EXPECT_TRUE(captions.contains(caption)) << caption;
    // The canvas follows the page; the layers keep their place.
    page->BitBtn7Click();
    page->resize(kDesignPage + QSize(100, 50));
    QApplication::processEvents();
    EXPECT_EQ(page->Panel9->size(), kDesignCanvas + QSize(100, 50));
    EXPECT_EQ(boxOf(LayerRef::shape(1)), (LayerBox{10, 10, 65, 65}));
}

TEST_F(TemplatePageTest, NewLayersAreListedInCreationOrderAndLoadTheEditors)
{
    page->BitBtn6Click();
    EXPECT_EQ(listNames(), QStringList{"Text 1"});
    const LayerBox text = boxOf(LayerRef::text(1));
    EXPECT_EQ(fields(), (QList<int>{text.left, text.top, text.width, text.height}));
    EXPECT_EQ(page->Memo1->toPlainText(), "Text");
    EXPECT_TRUE(page->Memo1->isEnabled());
    EXPECT_EQ(page->Shape1->fillColor(), page->palette().color(QPalette::WindowText));

    QTest::mouseClick(page->BitBtn7, Qt::LeftButton);
    EXPECT_EQ(listNames(), (QStringList{"Text 1", "Shape 1"}));
    EXPECT_EQ(fields(), (QList<int>{10, 10, 65, 65}));
    EXPECT_TRUE(page->Memo1->toPlainText().isEmpty());
    EXPECT_FALSE(page->Memo1->isEnabled());
    EXPECT_FALSE(page->ButtonFont->isEnabled());
    EXPECT_EQ(page->Shape1->fillColor(), QColor(Qt::white));

    // After a shape, a new text layer can be edited at once.
    QTest::mouseClick(page->BitBtn6, Qt::LeftButton);
    EXPECT_TRUE(page->Memo1->isEnabled());
    EXPECT_TRUE(page->ButtonFont->isEnabled());
    EXPECT_EQ(listNames(), (QStringList{"Text 1", "Shape 1", "Text 2"}));
    // The new layer is the one chosen in the list.
    ASSERT_EQ(page->ListBox1->selectedItems().size(), 1);
    EXPECT_EQ(page->ListBox1->selectedItems().first()->text(), "Text 2");
    EXPECT_EQ(page->ListBox1->currentRow(), 2);
    EXPECT_TRUE(errors().isEmpty());
}

TEST_F(TemplatePageTest, ANegativeLeftShowsAsZeroAndIsAppliedWhenThatChangesTheField)
{
    // Narrower than its bars need: only the canvas and the list are shown whole.
    page->setMinimumSize(1, 1);
    page->resize(127 + 40 + 4, kDesignPage.height());
    QApplication::processEvents();
    ASSERT_EQ(page->Panel9->width(), 40);
    // The fields showed 0 already: nothing changes, the layer keeps its place.
    page->BitBtn6Click();
    EXPECT_LT(boxOf(LayerRef::text(1)).left, 0);
    EXPECT_EQ(page->SpinEdit1->value(), 0);
    // The fields showed a shape's 10: showing 0 applies 0.
    page->BitBtn7Click();
    page->BitBtn6Click();
    EXPECT_EQ(boxOf(LayerRef::text(2)).left, 0);
    EXPECT_GT(boxOf(LayerRef::text(2)).top, 0);
}

TEST_F(TemplatePageTest, TheHundredthTextLayerIsRefusedWithTheErrorBox)
{
    for (int i = 0; i < 99; ++i)
        page->BitBtn6->click();
    page->BitBtn6->click();
    EXPECT_EQ(errors(), QStringList{"A template holds at most 99 text layers."});
    EXPECT_EQ(page->ListBox1->count(), 99);
    EXPECT_EQ(model().currentLayer(), LayerRef::text(99));
}

TEST_F(TemplatePageTest, PressingALayerMakesItCurrentSelectsItLoadsTheEditorsAndBringsItToTheFront)
{
    page->BitBtn7Click();  // Shape 1 at 10, 10
    page->BitBtn6Click();  // Text 1, current
    page->BitBtn7Click();  // Shape 2 at 10, 10, over Shape 1
    model().moveTo(LayerRef::shape(2), QPoint(40, 40));
    page->ListBox1->setCurrentRow(1);  // Text 1

    // Passing over a layer changes nothing.
    sendMouse(page->Panel9, QEvent::MouseMove, QPoint(20, 20), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(model().currentLayer(), LayerRef::text(1));

    for (Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton, Qt::LeftButton}) {
        model().bringToFront(LayerRef::shape(2));
        page->ListBox1->setCurrentRow(1);
        sendMouse(page->Panel9, QEvent::MouseButtonPress, QPoint(20, 20), button, button);
        sendMouse(page->Panel9, QEvent::MouseButtonRelease, QPoint(20, 20), button, Qt::NoButton);
        EXPECT_EQ(model().currentLayer(), LayerRef::shape(1));
        EXPECT_EQ(page->ListBox1->currentItem()->text(), "Shape 1");
        EXPECT_EQ(model().content().stacking.back(), LayerRef::shape(1));
        EXPECT_EQ(fields(), (QList<int>{10, 10, 65, 65}));
        EXPECT_FALSE(model().Dragging());
    }
    // A field now moves the layer it shows.
    typeInto(page->SpinEdit1, "33");
    EXPECT_EQ(boxOf(LayerRef::shape(1)).left, 33);
    EXPECT_EQ(boxOf(LayerRef::shape(2)).left, 40);
}

TEST_F(TemplatePageTest, TheLeftButtonDragsByThePointersOffsetUntilReleasedAnywhere)
{
    page->BitBtn7Click();
    page->BitBtn6Click();
    sendMouse(page->Panel9, QEvent::MouseButtonPress, QPoint(15, 20), Qt::LeftButton, Qt::LeftButton);
    sendMouse(page->Panel9, QEvent::MouseMove, QPoint(5, 30), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(boxOf(LayerRef::shape(1)), (LayerBox{0, 20, 65, 65}));
    sendMouse(page->Panel9, QEvent::MouseMove, QPoint(-10, 300), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(boxOf(LayerRef::shape(1)), (LayerBox{-15, 290, 65, 65}));
    // The fields show the layer, a negative Left as 0.
    EXPECT_EQ(fields(), (QList<int>{0, 290, 65, 65}));
    EXPECT_EQ(boxOf(LayerRef::shape(1)).left, -15);
    // Released off every layer and off the canvas: the drag is over.
    sendMouse(page->Panel9, QEvent::MouseButtonRelease, QPoint(-10, 300), Qt::LeftButton, Qt::NoButton);
    EXPECT_FALSE(model().Dragging());
    sendMouse(page->Panel9, QEvent::MouseMove, QPoint(245, 107), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(boxOf(LayerRef::shape(1)), (LayerBox{-15, 290, 65, 65}));
    EXPECT_EQ(model().currentLayer(), LayerRef::shape(1));
}

TEST_F(TemplatePageTest, FieldsApplyEveryChangeAndAnEmptyFieldIsZero)
{
    page->BitBtn7Click();
    typeInto(page->SpinEdit3, "1");
    EXPECT_EQ(boxOf(LayerRef::shape(1)).width, 1);
    QTest::keyClicks(page->SpinEdit3, "20");
    EXPECT_EQ(boxOf(LayerRef::shape(1)).width, 120);
    page->SpinEdit3->selectAll();
    QTest::keyClick(page->SpinEdit3, Qt::Key_Backspace);
    EXPECT_EQ(boxOf(LayerRef::shape(1)).width, 0);
    page->SpinEdit4->setFocus();  // the field loses the focus
    EXPECT_EQ(page->SpinEdit3->text(), "0");
    EXPECT_EQ(boxOf(LayerRef::shape(1)).width, 0);
    QTest::keyClick(page->SpinEdit4, Qt::Key_Up);
    EXPECT_EQ(boxOf(LayerRef::shape(1)).height, 66);
}

TEST_F(TemplatePageTest, TheTextEditorSetsTheTextWithCrLfAndTheFieldsFollowTheSize)
{
    page->BitBtn6Click();
    const int left = boxOf(LayerRef::text(1)).left;
    page->Memo1->setPlainText(QString::fromUtf8("first\nsecond line\xC2\xA0"));
    const TextLayer& layer = *model().content().textLayer(1);
    EXPECT_EQ(layer.text, QString::fromUtf8("first\r\nsecond line\xC2\xA0"));
    EXPECT_EQ(layer.box.height, 78);
    EXPECT_EQ(layer.box.left, left);
    EXPECT_EQ(page->SpinEdit4->value(), 78);
    EXPECT_EQ(page->SpinEdit3->value(), layer.box.width);

    // With a shape current the editor does nothing.
    page->BitBtn7Click();
    page->Memo1->setEnabled(true);
    page->Memo1->setPlainText("ignored");
    EXPECT_EQ(model().content().textLayer(1)->text, QString::fromUtf8("first\r\nsecond line\xC2\xA0"));
}

TEST_F(TemplatePageTest, ALinePastedTooLongIsRefusedOnceAndTheEditorShowsTheLayersTextAgain)
{
    page->BitBtn6Click();
    page->Memo1->setFocus();
    page->Memo1->moveCursor(QTextCursor::End);
    QApplication::clipboard()->setText(QString(70000, u'x'));
    QTest::keyClick(page->Memo1, Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(errors().size(), 1);
    EXPECT_TRUE(errors().front().contains("65535")) << errors().front().toStdString();
    EXPECT_EQ(page->Memo1->toPlainText(), "Text");
    EXPECT_EQ(model().content().textLayer(1)->text, "Text");

    // Typing on edits the layer again, without another error.
    page->Memo1->moveCursor(QTextCursor::End);
    QTest::keyClicks(page->Memo1, " 2");
    EXPECT_EQ(errors().size(), 1);
    EXPECT_EQ(model().content().textLayer(1)->text, "Text 2");
}

TEST_F(TemplatePageTest, ShiftEnterInTheTextEditorBreaksTheLineAsEnterDoes)
{
    page->BitBtn6Click();
    page->Memo1->clear();
    page->Memo1->setFocus();
    QTest::keyClicks(page->Memo1, "one");
    QTest::keyClick(page->Memo1, Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClicks(page->Memo1, "two");
    QTest::keyClick(page->Memo1, Qt::Key_Return);
    QTest::keyClicks(page->Memo1, "three");
    EXPECT_EQ(model().content().textLayer(1)->text, "one\r\ntwo\r\nthree");
}

TEST_F(TemplatePageTest, TheColourBoxRecoloursTheTextOrTheFill)
{
    page->BitBtn6Click();
    dialogs.colorResult = QColor(1, 2, 3);
    QTest::mouseClick(page->Shape1, Qt::RightButton);
    EXPECT_EQ(dialogs.lastColorInitial, page->palette().color(QPalette::WindowText));
    EXPECT_EQ(model().content().textLayer(1)->font.color, ColorValue::fromRgb(QColor(1, 2, 3)));
    EXPECT_EQ(page->Shape1->fillColor(), QColor(1, 2, 3));

    page->BitBtn7Click();
    dialogs.colorResult = QColor(9, 8, 7);
    page->Shape1->setFocus();
    QTest::keyClick(page->Shape1, Qt::Key_Space);
    EXPECT_EQ(dialogs.lastColorInitial, QColor(Qt::white));
    EXPECT_EQ(model().content().shapeLayer(1)->fill, ColorValue::fromRgb(QColor(9, 8, 7)));

    dialogs.colorResult.reset();
    QTest::mouseClick(page->Shape1, Qt::LeftButton);
    EXPECT_EQ(model().content().shapeLayer(1)->fill, ColorValue::fromRgb(QColor(9, 8, 7)));
    EXPECT_EQ(dialogs.colorDialogOpened, 3);
}

TEST_F(TemplatePageTest, ChoosingInTheListMakesCurrentLoadsAndBringsToFront)
{
    page->BitBtn6Click();
    page->BitBtn7Click();
    const QRect textItem = page->ListBox1->visualItemRect(page->ListBox1->item(0));
    QTest::mouseClick(page->ListBox1->viewport(), Qt::LeftButton, {}, textItem.center());
    EXPECT_EQ(model().currentLayer(), LayerRef::text(1));
    EXPECT_EQ(model().content().stacking.back(), LayerRef::text(1));
    EXPECT_EQ(page->Memo1->toPlainText(), "Text");
    EXPECT_TRUE(page->Memo1->isEnabled());

    page->ListBox1->setFocus();
    QTest::keyClick(page->ListBox1, Qt::Key_Down);
    EXPECT_EQ(model().currentLayer(), LayerRef::shape(1));
    EXPECT_EQ(fields(), (QList<int>{10, 10, 65, 65}));
}

// The menu's Delete removes the layer under the pointer, whichever was chosen before.
TEST_F(TemplatePageTest, ARightClickChoosesTheLayerUnderThePointerAndDeleteRemovesIt)
{
    page->BitBtn6Click();
    page->BitBtn7Click();
    page->BitBtn6Click();  // Text 2, current and chosen
    QWidget* items = page->ListBox1->viewport();
    const QPoint shapeItem = page->ListBox1->visualItemRect(page->ListBox1->item(1)).center();
    QTest::mousePress(items, Qt::RightButton, {}, shapeItem);
    QTest::mouseRelease(items, Qt::RightButton, {}, shapeItem);
    EXPECT_EQ(page->ListBox1->currentRow(), 1);
    EXPECT_EQ(model().currentLayer(), LayerRef::shape(1));
    EXPECT_EQ(fields(), (QList<int>{10, 10, 65, 65}));
    ASSERT_TRUE(page->PopupMenu2->isVisible());
    EXPECT_TRUE(page->Delete1->isEnabled());
    page->Delete1->trigger();
    page->PopupMenu2->close();
    EXPECT_EQ(listNames(), (QStringList{"Text 1", "Text 2"}));
    EXPECT_EQ(model().content().shapeLayer(1), nullptr);
    EXPECT_NE(model().content().textLayer(2), nullptr);
    EXPECT_TRUE(page->ListBox1->selectedItems().isEmpty());

    // Below the items: nothing is chosen and the menu deletes nothing.
    page->ListBox1->setCurrentRow(0);
    const QPoint belowItems(5, items->height() - 3);
    ASSERT_EQ(page->ListBox1->itemAt(belowItems), nullptr);
    QTest::mousePress(items, Qt::RightButton, {}, belowItems);
    QTest::mouseRelease(items, Qt::RightButton, {}, belowItems);
    ASSERT_TRUE(page->PopupMenu2->isVisible());
    EXPECT_TRUE(page->ListBox1->selectedItems().isEmpty());
    EXPECT_FALSE(page->Delete1->isEnabled());
    page->Delete1->trigger();
    page->PopupMenu2->close();
    EXPECT_EQ(listNames(), (QStringList{"Text 1", "Text 2"}));

    // The menu key opens the menu for the chosen layer.
    page->ListBox1->setCurrentRow(1);
    QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(0, 0), page->ListBox1->mapToGlobal(QPoint(0, 0)));
    QApplication::sendEvent(page->ListBox1, &menuKey);
    EXPECT_TRUE(page->PopupMenu2->isVisible());
    EXPECT_TRUE(page->Delete1->isEnabled());
    page->PopupMenu2->close();
    EXPECT_EQ(page->ListBox1->currentRow(), 1);
    EXPECT_TRUE(errors().isEmpty());
}

TEST_F(TemplatePageTest, TheDeleteKeyRemovesTheChosenLayerAndKeepsTheCurrentOne)
{
    page->BitBtn6Click();
    page->BitBtn7Click();
    page->BitBtn6Click();  // Text 2
    page->ListBox1->setFocus();
    page->ListBox1->setCurrentRow(1);
    QTest::keyClick(page->ListBox1, Qt::Key_Delete);
    EXPECT_EQ(listNames(), (QStringList{"Text 1", "Text 2"}));
    EXPECT_TRUE(page->ListBox1->selectedItems().isEmpty());
    EXPECT_EQ(model().currentLayer(), LayerRef::shape(1));
    // With nothing chosen it does nothing.
    QTest::keyClick(page->ListBox1, Qt::Key_Delete);
    EXPECT_EQ(page->ListBox1->count(), 2);
    EXPECT_TRUE(errors().isEmpty());
}

TEST_F(TemplatePageTest, DeletingTheCurrentLayerLeavesEditsWithoutEffect)
{
    page->BitBtn6Click();
    page->BitBtn6Click();
    page->ListBox1->setCurrentRow(1);  // Text 2, current
    page->Delete1Click();
    EXPECT_EQ(model().currentLayer(), LayerRef::text(2));
    EXPECT_EQ(page->Memo1->toPlainText(), "Text");
    page->Memo1->setPlainText("lost");
    typeInto(page->SpinEdit1, "5");
    EXPECT_EQ(model().content().textLayer(1)->text, "Text");
    EXPECT_NE(boxOf(LayerRef::text(1)).left, 5);
    EXPECT_EQ(page->ListBox1->count(), 1);
    EXPECT_TRUE(errors().isEmpty());
}

TEST_F(TemplatePageTest, ABackgroundPictureIsShownAndNamedOnlyWhenItCanBeRead)
{
    QImage red(20, 10, QImage::Format_RGB32);
    red.fill(Qt::red);
    const QString good = scratch() + "/red.png";
    ASSERT_TRUE(red.save(good));
    const QString bad = writeScratchFile("bad.png", "not a picture");
    const QString metafile = writeScratchFile("old.wmf", "x");

    dialogs.openResult = bad;
    page->Button8->click();
    EXPECT_EQ(dialogs.lastOpenRequest.nameFilters.value(0).left(4), "All ");
    EXPECT_EQ(dialogs.lastOpenRequest.title, "Open");
    EXPECT_TRUE(bool(dialogs.lastOpenRequest.preview));
    ASSERT_EQ(errors().size(), 1);
    EXPECT_TRUE(errors()[0].contains(bad));
    EXPECT_EQ(page->ComboBox2->currentText(), "[Default Image]");

    dialogs.openResult = good;
    page->Button8->click();
    EXPECT_EQ(page->ComboBox2->currentText(), good);
    EXPECT_EQ(page->Panel9->picture().pixelColor(5, 5), QColor(Qt::red));

    dialogs.openResult = metafile;
    page->Button8->click();
    EXPECT_EQ(dialogs.lastOpenRequest.startFolder, scratch());
    EXPECT_EQ(errors().value(1), "Unknown picture file extension (.wmf)");
    EXPECT_EQ(page->ComboBox2->currentText(), good);
    EXPECT_EQ(model().content().backgroundSource, good);

    dialogs.openResult.reset();
    page->Button8->click();
    EXPECT_EQ(page->ComboBox2->currentText(), good);
    EXPECT_EQ(errors().size(), 2);
}

TEST_F(TemplatePageTest, EnterPressesAFocusedButton)
{
    page->BitBtn7->setFocus(Qt::TabFocusReason);
    QTest::keyClick(page->BitBtn7, Qt::Key_Return);
    EXPECT_EQ(listNames(), QStringList{"Shape 1"});
}

TEST_F(TemplatePageTest, ArrowKeysOnTheCanvasMoveTheCurrentLayer)
{
    page->BitBtn7Click();
    page->Panel9->setFocus();
    QTest::keyClick(page->Panel9, Qt::Key_Left);
    QTest::keyClick(page->Panel9, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(boxOf(LayerRef::shape(1)), (LayerBox{9, 20, 65, 65}));
    EXPECT_EQ(fields(), (QList<int>{9, 20, 65, 65}));
}

TEST_F(TemplatePageTest, EveryControlIsReachedByTabAndNamedForScreenReaders)
{
    QSet<QWidget*> reached;
    page->ComboBoxDestination2->setFocus(Qt::TabFocusReason);
    for (int i = 0; i < 40; ++i) {
        QWidget* focused = QApplication::focusWidget();
        if (qobject_cast<QLineEdit*>(focused) && focused->parentWidget() != page.get())
            focused = focused->parentWidget();
        reached.insert(focused);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    for (QWidget* control : page->findChildren<QWidget*>()) {
        const bool interactive = control->focusPolicy() != Qt::NoFocus || qobject_cast<QAbstractButton*>(control);
        if (!interactive || !control->isVisibleTo(page.get()) || qobject_cast<QLineEdit*>(control))
            continue;
        if (control->focusPolicy() & Qt::TabFocus) {
            EXPECT_TRUE(reached.contains(control)) << control->objectName().toStdString() << " "
                                                   << control->metaObject()->className();
        }
        ASSERT_NE(QAccessible::queryAccessibleInterface(control), nullptr);
        EXPECT_FALSE(spokenName(control).isEmpty())
            << control->objectName().toStdString() << " " << control->metaObject()->className();
    }
}

// The alignment controls act on the current text layer, are greyed out for
// a shape, and a fixed box keeps the size typed into the fields.
TEST_F(TemplatePageTest, TheAlignmentControlsSetTheCurrentTextLayerOnly)
{
    page->BitBtn6Click();
    const LayerBox textSized = boxOf(LayerRef::text(1));
    EXPECT_TRUE(page->HorizontalAlignmentBox->isEnabled());
    page->HorizontalAlignmentBox->setCurrentIndex(1);
    page->VerticalAlignmentBox->setCurrentIndex(1);
    page->ShrinkToFitBox->setChecked(true);
    EXPECT_EQ(model().content().textLayer(1)->alignment,
              (TextAlignment{HorizontalAlignment::Centre, VerticalAlignment::Middle, true}));
    typeInto(page->SpinEdit3, "300");
    page->Memo1->setPlainText("a rather longer line of text than the box is wide");
    EXPECT_EQ(boxOf(LayerRef::text(1)).width, 300);
    EXPECT_EQ(fields()[2], 300);

    page->BitBtn7Click();
    for (QWidget* control : std::initializer_list<QWidget*>{page->HorizontalAlignmentBox, page->VerticalAlignmentBox,
                                                            page->ShrinkToFitBox})
        EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
    EXPECT_EQ(page->HorizontalAlignmentBox->currentIndex(), 0);
    EXPECT_FALSE(page->ShrinkToFitBox->isChecked());

    // Back at the defaults the box follows the text again, and the fields show it.
    page->ListBox1->setCurrentRow(0);
    EXPECT_EQ(page->HorizontalAlignmentBox->currentIndex(), 1);
    EXPECT_TRUE(page->ShrinkToFitBox->isChecked());
    page->HorizontalAlignmentBox->setCurrentIndex(0);
    page->VerticalAlignmentBox->setCurrentIndex(0);
    page->ShrinkToFitBox->setChecked(false);
    EXPECT_TRUE(model().content().textLayer(1)->alignment.isDefault());
    EXPECT_GT(boxOf(LayerRef::text(1)).width, textSized.width);
    EXPECT_EQ(boxOf(LayerRef::text(1)).height, textSized.height);
    EXPECT_EQ(fields()[2], boxOf(LayerRef::text(1)).width);
    EXPECT_TRUE(errors().isEmpty()) << errors().join("; ").toStdString();
}

TEST_F(TemplatePageTest, TheCanvasShowsWhatTheRunDraws)
{
    page->BitBtn6Click();
    page->BitBtn7Click();
    model().moveTo(LayerRef::shape(1), QPoint(-20, 180));
    TemplateRenderer renderer;
    const QImage expected = renderer.render(withResolvedColors(model().content()),
                                            kDesignCanvas);
    // The current layer's frame and handles are on the screen only.
    const QImage framed = page->Panel9->grab().toImage();
    EXPECT_FALSE(samePixels(framed, expected));
    const QRect shape = boxOf(LayerRef::shape(1)).rect();
    const QRect aroundShape = shape.adjusted(-5, -5, 5, 5);
    for (int y = 0; y < expected.height(); ++y)
        for (int x = 0; x < expected.width(); ++x)
            if (!aroundShape.contains(x, y) || shape.adjusted(4, 4, -4, -4).contains(x, y))
                ASSERT_EQ(framed.pixel(x, y), expected.pixel(x, y)) << x << "," << y;
    model().makeCurrent({});
    EXPECT_TRUE(samePixels(page->Panel9->grab().toImage(), expected));
}

} // namespace
} // namespace pennolux

namespace pennolux {
namespace {

// Drags on the canvas with the left button, in the canvas's pixels.
void dragOnCanvas(TemplateCanvas* canvas, QPointF from, QPointF to)
{
    const auto send = [canvas](QEvent::Type type, QPointF point, Qt::MouseButton button, Qt::MouseButtons held) {
        QMouseEvent event(type, point, canvas->mapToGlobal(point), button, held, Qt::NoModifier);
        QApplication::sendEvent(canvas, &event);
    };
    send(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseMove, (from + to) / 2, Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
}

TEST_F(TemplatePageTest, AShapesHandlesResizeItInImagePixelsOneUndoStepADrag)
{
    page->BitBtn7Click();
    const int steps = session.history().stack().count();
    // The bottom-right corner, at 100 %: the box grows by the pointer's offset.
    dragOnCanvas(page->Panel9, QPointF(75, 75), QPointF(95, 85));
    EXPECT_EQ(boxOf(LayerRef::shape(1)), (LayerBox{10, 10, 85, 75}));
    EXPECT_EQ(fields(), (QList<int>{10, 10, 85, 75}));
    EXPECT_EQ(session.history().stack().count(), steps + 1);
    EXPECT_EQ(session.history().stack().text(steps), "Resize Shape 1");
    // The left side, dragged past the right one, stops a pixel short of it.
    dragOnCanvas(page->Panel9, QPointF(10, 47), QPointF(200, 40));
    EXPECT_EQ(boxOf(LayerRef::shape(1)), (LayerBox{94, 10, 1, 75}));
    session.history().undo();
    EXPECT_EQ(boxOf(LayerRef::shape(1)), (LayerBox{10, 10, 85, 75}));

    // At half size a pointer's pixel is two of the image's.
    session.setImageSize(QSize(982, 430));
    ASSERT_DOUBLE_EQ(page->Panel9->zoom(), 0.5);
    const QPointF corner = page->Panel9->canvasRect(QRect(10, 10, 85, 75)).bottomRight();
    dragOnCanvas(page->Panel9, corner, corner + QPointF(10, 5));
    EXPECT_EQ(boxOf(LayerRef::shape(1)), (LayerBox{10, 10, 105, 85}));
    // A text layer whose box follows its text has no handles: a press at its
    // corner moves it.
    page->BitBtn6Click();
    const LayerBox text = boxOf(LayerRef::text(1));
    const QPointF textCorner = page->Panel9->canvasRect(text.rect()).bottomRight() - QPointF(1, 1);
    dragOnCanvas(page->Panel9, textCorner, textCorner + QPointF(10, 0));
    EXPECT_EQ(boxOf(LayerRef::text(1)).width, text.width);
    EXPECT_EQ(boxOf(LayerRef::text(1)).left, text.left + 20);
    // Aligned, its box is fixed and its handles resize it.
    model().setAlignment(1, {HorizontalAlignment::Centre, VerticalAlignment::Middle, false});
    const LayerBox aligned = boxOf(LayerRef::text(1));
    const QPointF alignedCorner = page->Panel9->canvasRect(aligned.rect()).bottomRight();
    dragOnCanvas(page->Panel9, alignedCorner, alignedCorner + QPointF(10, 5));
    EXPECT_EQ(boxOf(LayerRef::text(1)), (LayerBox{aligned.left, aligned.top, aligned.width + 20, aligned.height + 10}));
}

TEST_F(TemplatePageTest, DeleteAndBackspaceOnTheCanvasDeleteTheCurrentLayerEachOneUndoStep)
{
    page->BitBtn6Click();
    page->BitBtn7Click();
    page->Panel9->setFocus();
    QTest::keyClick(page->Panel9, Qt::Key_Delete);
    EXPECT_EQ(listNames(), QStringList{"Text 1"});
    EXPECT_FALSE(model().content().holds(LayerRef::shape(1)));
    // Nothing is current now: the key does nothing.
    const int steps = session.history().stack().count();
    QTest::keyClick(page->Panel9, Qt::Key_Backspace);
    EXPECT_EQ(session.history().stack().count(), steps);
    page->ListBox1->setCurrentRow(0);
    page->Panel9->setFocus();
    QTest::keyClick(page->Panel9, Qt::Key_Backspace);
    EXPECT_TRUE(listNames().isEmpty());
    EXPECT_EQ(session.history().stack().text(steps), "Delete Text 1");
    session.history().undo();
    session.history().undo();
    EXPECT_EQ(listNames(), (QStringList{"Text 1", "Shape 1"}));
}

} // namespace
} // namespace pennolux
