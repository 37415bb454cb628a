#include <QCheckBox>
#include <QComboBox>
#include <QImageWriter>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <functional>

#include "EditorTestSupport.h"
#include "TemplatePageFixture.h"
#include "platform/fonts/DesignFont.h"
#include "editor/background/BackgroundPicture.h"
#include "editor/file/TemplateFile.h"

namespace pennolux {
namespace {

using namespace testing;

class TemplateUndoTest : public TemplatePageTest {
public:
    // What the table of changes below drives.
    using TemplatePageTest::dialogs;
    using TemplatePageTest::page;
    using TemplatePageTest::session;
    using TemplatePageTest::typeInto;
    using IsolatedHomeTest::scratch;

protected:
    void SetUp() override
    {
        TemplatePageTest::SetUp();
        // Text 1 as the window starts with it, a shape above it.
        page->BitBtn6Click();
        page->BitBtn7Click();
        history().stack().clear();
    }

    TemplateHistory& history() { return session.history(); }
    QSize runCanvasSize() { return session.runCanvasSize(page->canvasSize()); }

public:
    QString picture(const QString& name, const QColor& color)
    {
        QImage image(40, 20, QImage::Format_RGB32);
        image.fill(color);
        const QString path = scratch() + "/" + name;
        QImageWriter(path).write(image);
        return path;
    }
    void drag(LayerRef layer, QPoint by)
    {
        const QPoint start = centreOf(layer);
        sendMouse(page->Panel9, QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
        for (int step = 1; step <= 4; ++step)
            sendMouse(page->Panel9, QEvent::MouseMove, start + by * step / 4, Qt::NoButton, Qt::LeftButton);
        sendMouse(page->Panel9, QEvent::MouseButtonRelease, start + by, Qt::LeftButton, Qt::NoButton);
    }
    void selectInList(LayerRef layer)
    {
        for (int row = 0; row < page->ListBox1->count(); ++row)
            if (page->ListBox1->item(row)->text() == layerName(layer))
                page->ListBox1->setCurrentRow(row);
    }
protected:
    // The editors show the current layer as the model holds it.
    void expectEditorsShowTheModel()
    {
        const LayerRef current = model().currentLayer();
        const LayerBox* box = model().content().boxOf(current);
        if (!box)
            return;
        EXPECT_EQ(fields(), (QList<int>{std::max(box->left, 0), std::max(box->top, 0), box->width, box->height}));
        if (current.isText()) {
            const TextLayer& layer = *model().content().textLayer(current.number);
            EXPECT_EQ(page->Memo1->toPlainText(), QString(layer.text).replace("\r\n", "\n"));
            EXPECT_EQ(page->HorizontalAlignmentBox->currentIndex(), int(layer.alignment.horizontal));
            EXPECT_EQ(page->VerticalAlignmentBox->currentIndex(), int(layer.alignment.vertical));
            EXPECT_EQ(page->ShrinkToFitBox->isChecked(), layer.alignment.shrinkToFit);
        }
        EXPECT_EQ(page->ListBox1->count(), qsizetype(model().creationOrder().size()));
    }
};

struct Change {
    const char* name;
    std::function<void(TemplateUndoTest&)> make;
    // What comes first and is a step of its own (choosing a layer in the list).
    std::function<void(TemplateUndoTest&)> prepare = nullptr;
};

// The same template, the picture compared by its pixels: a picture put back
// is decoded again.
bool sameTemplateState(const TemplateState& left, const TemplateState& right)
{
    Template leftContent = left.content;
    leftContent.background = right.content.background;
    return samePixels(left.content.background, right.content.background) &&
           !templateChanged({leftContent, left.textLayerCount, left.shapeLayerCount, left.creationOrder, left.current,
                             left.runCanvas},
                            right);
}

class EveryChange : public TemplateUndoTest, public ::testing::WithParamInterface<Change> {};

TEST_P(EveryChange, IsOneStepThatUndoAndRedoTakeBackAndAgain)
{
    if (GetParam().prepare) {
        GetParam().prepare(*this);
        history().stack().clear();
    }
    const TemplateState before = model().state();
    GetParam().make(*this);
    const TemplateState after = model().state();
    ASSERT_TRUE(templateChanged(before, after));
    EXPECT_EQ(history().stack().count(), 1);

    history().undo();
    EXPECT_TRUE(sameTemplateState(before, model().state()));
    expectEditorsShowTheModel();
    history().redo();
    EXPECT_TRUE(sameTemplateState(after, model().state()));
    expectEditorsShowTheModel();
    history().undo();
    EXPECT_TRUE(sameTemplateState(before, model().state()));
    EXPECT_TRUE(errors().isEmpty()) << errors().join("; ").toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Template, EveryChange,
    ::testing::Values(
        Change{"NewText", [](TemplateUndoTest& test) { test.page->BitBtn6Click(); }},
        Change{"NewShape", [](TemplateUndoTest& test) { test.page->BitBtn7Click(); }},
        Change{"Delete", [](TemplateUndoTest& test) { test.page->Delete1Click(); },
               [](TemplateUndoTest& test) { test.selectInList(LayerRef::text(1)); }},
        Change{"Drag", [](TemplateUndoTest& test) { test.drag(LayerRef::shape(1), QPoint(40, 30)); }},
        Change{"DragOfALayerBelow", [](TemplateUndoTest& test) { test.drag(LayerRef::text(1), QPoint(-300, 5)); }},
        Change{"ArrowKeys",
               [](TemplateUndoTest& test) {
                   test.page->Panel9->setFocus();
                   for (int i = 0; i < 5; ++i)
                       QTest::keyClick(test.page->Panel9, Qt::Key_Right, Qt::ShiftModifier);
               }},
        Change{"Left", [](TemplateUndoTest& test) { test.typeInto(test.page->SpinEdit1, "123"); }},
        Change{"Top", [](TemplateUndoTest& test) { test.typeInto(test.page->SpinEdit2, "77"); }},
        Change{"Width", [](TemplateUndoTest& test) { test.typeInto(test.page->SpinEdit3, "5"); }},
        Change{"Height", [](TemplateUndoTest& test) { test.typeInto(test.page->SpinEdit4, "250"); }},
        Change{"Text",
               [](TemplateUndoTest& test) {
                   test.page->Memo1->setFocus();
                   test.page->Memo1->moveCursor(QTextCursor::End);
                   QTest::keyClicks(test.page->Memo1, "ual");
                   QTest::keyClick(test.page->Memo1, Qt::Key_Return);
                   QTest::keyClicks(test.page->Memo1, "two");
               },
               [](TemplateUndoTest& test) { test.selectInList(LayerRef::text(1)); }},
        Change{"Colour",
               [](TemplateUndoTest& test) {
                   test.dialogs.colorResult = QColor(200, 10, 10);
                   test.page->Shape1MouseDown();
               }},
        Change{"Font",
               [](TemplateUndoTest& test) {
                   QFont font = designFont(30);
                   font.setBold(true);
                   test.page->setCurrentTextLayerFont({font, colors::clBlack});
               },
               [](TemplateUndoTest& test) { test.selectInList(LayerRef::text(1)); }},
        Change{"HorizontalAlignment",
               [](TemplateUndoTest& test) {
                   test.page->HorizontalAlignmentBox->setFocus();
                   QTest::keyClick(test.page->HorizontalAlignmentBox, Qt::Key_Down);
               },
               [](TemplateUndoTest& test) { test.selectInList(LayerRef::text(1)); }},
        Change{"VerticalAlignment",
               [](TemplateUndoTest& test) { test.page->VerticalAlignmentBox->setCurrentIndex(2); },
               [](TemplateUndoTest& test) { test.selectInList(LayerRef::text(1)); }},
        Change{"ShrinkToFit",
               [](TemplateUndoTest& test) {
                   test.page->ShrinkToFitBox->setFocus();
                   QTest::keyClick(test.page->ShrinkToFitBox, Qt::Key_Space);
               },
               [](TemplateUndoTest& test) { test.selectInList(LayerRef::text(1)); }},
        Change{"BringToFront", [](TemplateUndoTest& test) { test.selectInList(LayerRef::text(1)); }},
        Change{"BackgroundPicture",
               [](TemplateUndoTest& test) {
                   test.dialogs.openResult = test.picture("red.png", Qt::red);
                   test.page->Button8Click();
               }},
        Change{"OpenTemplate",
               [](TemplateUndoTest& test) {
                   TemplateDocument document;
                   document.canvas = QSize(300, 100);
                   document.content.background = defaultBackground();
                   document.content.ShapeLayers[4] = ShapeLayer{colors::clBlack, {1, 2, 3, 4}};
                   document.content.stacking = {LayerRef::shape(5)};
                   writeTemplateFile(test.scratch() + "/t.pnxt", document);
                   test.session.open(test.scratch() + "/t.pnxt");
               }}),
    [](const ::testing::TestParamInfo<Change>& change) { return std::string(change.param.name); });

TEST_F(TemplateUndoTest, StepsComeBackInTheirOrderAndANewEditDropsWhatWasUndone)
{
    page->BitBtn6Click();                        // Text 2
    drag(LayerRef::shape(1), QPoint(10, 10));    // one step, not one per move
    typeInto(page->SpinEdit3, "40");             // one step for every key typed
    ASSERT_EQ(history().stack().count(), 3);
    EXPECT_EQ(history().stack().undoText(), "Width of Shape 1");
    history().undo();
    EXPECT_EQ(history().stack().undoText(), "Move Shape 1");
    history().undo();
    history().undo();
    EXPECT_EQ(listNames(), (QStringList{"Text 1", "Shape 1"}));
    history().redo();
    EXPECT_EQ(listNames(), (QStringList{"Text 1", "Shape 1", "Text 2"}));
    page->BitBtn7Click();  // Shape 2: what was undone after Text 2 is gone
    EXPECT_FALSE(history().stack().canRedo());
    EXPECT_EQ(listNames(), (QStringList{"Text 1", "Shape 1", "Text 2", "Shape 2"}));
    // A number given once stays given, also after an undo took the layer back.
    history().undo();
    page->BitBtn7Click();
    EXPECT_EQ(listNames().last(), "Shape 2");
}

TEST_F(TemplateUndoTest, APictureTakenBackIsDecodedAgainFromItsBytes)
{
    dialogs.openResult = picture("red.png", Qt::red);
    page->Button8Click();
    dialogs.openResult = picture("blue.png", Qt::blue);
    page->Button8Click();
    history().undo();
    EXPECT_EQ(model().content().background.pixelColor(5, 5), QColor(Qt::red));
    EXPECT_EQ(page->ComboBox2->currentText(), scratch() + "/red.png");
    history().redo();
    EXPECT_EQ(model().content().background.pixelColor(5, 5), QColor(Qt::blue));
    history().undo();
    history().undo();
    EXPECT_EQ(page->ComboBox2->currentText(), "[Default Image]");
    EXPECT_TRUE(samePixels(model().content().background, defaultBackground()));
}

TEST_F(TemplateUndoTest, OpeningATemplateSetsTheSizeItRunsAtAndUndoGivesTheCanvasBack)
{
    EXPECT_EQ(runCanvasSize(), kDesignCanvas);
    TemplateDocument document = documentOf(model().state(), QSize(320, 80));
    writeTemplateFile(scratch() + "/t.pnxt", document);
    session.open(scratch() + "/t.pnxt");
    EXPECT_EQ(runCanvasSize(), QSize(320, 80));
    EXPECT_EQ(page->Panel9->size(), kDesignCanvas);
    EXPECT_EQ(model().currentLayer(), LayerRef::text(1));
    history().undo();
    EXPECT_EQ(runCanvasSize(), kDesignCanvas);
}

TEST_F(TemplateUndoTest, UndoKeysInTheLayersEditorsAreLeftToTheWindowsMenu)
{
    for (QWidget* editor : {static_cast<QWidget*>(page->Memo1), static_cast<QWidget*>(page->SpinEdit1)}) {
        QWidget* target = editor->focusProxy() ? editor->focusProxy() : editor;
        for (const QKeyCombination keys : {QKeyCombination(Qt::ControlModifier, Qt::Key_Z),
                                           QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z),
                                           QKeyCombination(Qt::ControlModifier, Qt::Key_Y)}) {
            QKeyEvent override(QEvent::ShortcutOverride, keys.key(), keys.keyboardModifiers());
            QApplication::sendEvent(target, &override);
            EXPECT_FALSE(override.isAccepted()) << editor->objectName().toStdString();
        }
        QKeyEvent copy(QEvent::ShortcutOverride, Qt::Key_C, Qt::ControlModifier);
        QApplication::sendEvent(target, &copy);
        EXPECT_TRUE(copy.isAccepted()) << "other keys stay the editor's";
    }
}

} // namespace
} // namespace pennolux
