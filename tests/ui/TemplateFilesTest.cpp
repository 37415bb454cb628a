#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QUndoStack>

#include "FileBytes.h"
#include "MainWindowFixture.h"
#include "editor/file/TemplateFile.h"
#include "editor/session/TemplateSession.h"
#include "editor/widgets/LayerList.h"
#include "editor/widgets/TemplateCanvas.h"
#include "editor/widgets/TemplatePage.h"

using namespace pennolux;
using namespace pennolux::testing;

namespace {

QStringList itemTexts(const QMenu* menu)
{
    QStringList texts;
    for (const QAction* item : menu->actions())
        texts << (item->isSeparator() ? QString("-") : item->text());
    return texts;
}

} // namespace

// The main window shown and active, with the Advanced page open.
class TemplateFilesTest : public MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        page = window->templatePage;
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        window->PageControl1->setCurrentWidget(window->TabSheet2);
        QApplication::processEvents();
    }
    TemplateModel& model() { return window->templateSession().model(); }
    QMenu* menuTitled(const QString& title) const
    {
        for (QAction* menu : window->menuBar()->actions())
            if (menu->text() == title)
                return menu->menu();
        return nullptr;
    }
    QString folder(const QString& name) const
    {
        QDir().mkpath(scratch() + "/" + name);
        return scratch() + "/" + name;
    }
    // Runs START into a new folder and returns it.
    QString runInWindow(const QString& name, const QString& list)
    {
        const QString out = folder(name);
        window->ComboBoxDestination2->setEditText(out);
        window->MemoList->setPlainText(list);
        window->Button6Click();
        return out;
    }
    int runBatchTool(const QStringList& arguments, const QByteArray& standardError = {}) const
    {
        QProcess tool;
        tool.setWorkingDirectory(scratch());
        tool.start(PENNOLUX_BATCH_TOOL, arguments);
        EXPECT_TRUE(tool.waitForFinished(60'000));
        EXPECT_EQ(tool.readAllStandardError(), standardError);
        return tool.exitCode();
    }
    void expectSameFiles(const QString& left, const QString& right, int count) const
    {
        const QStringList files = QDir(left).entryList(QDir::Files, QDir::Name);
        EXPECT_EQ(files.size(), count);
        EXPECT_EQ(QDir(right).entryList(QDir::Files, QDir::Name), files);
        for (const QString& file : files)
            EXPECT_TRUE(fileBytes(left + "/" + file) == fileBytes(right + "/" + file)) << file.toStdString();
    }

    // The names the layer list shows, top to bottom.
    QStringList listNames() const
    {
        QStringList names;
        for (int row = 0; row < page->ListBox1->count(); ++row)
            names << page->ListBox1->item(row)->text();
        return names;
    }
    QString title() const { return window->windowTitle(); }
    // The title as the window system shows it, the changes marked.
    QString shownTitle() const
    {
        return QString(title()).replace("[*]", window->isWindowModified() ? "*" : "");
    }

    TemplatePage* page = nullptr;
};

TEST_F(TemplateFilesTest, TheMenusOfferTemplateFilesAboveExitAndUndoBetweenFileAndSettings)
{
    EXPECT_EQ(itemTexts(menuTitled("&File")), (QStringList{"New Template", "Open Template...", "Save Template",
                                                           "Save Template As...", "-", "Open &Recent", "-",
                                                           "Exit"}));
    EXPECT_EQ(window->newTemplateItem->shortcut(), QKeySequence("Ctrl+N"));
    EXPECT_EQ(window->openTemplateItem->shortcut(), QKeySequence("Ctrl+O"));
    EXPECT_EQ(window->saveTemplateInPlaceItem->shortcut(), QKeySequence("Ctrl+S"));
    EXPECT_EQ(window->saveTemplateItem->shortcut(), QKeySequence("Ctrl+Shift+S"));
    EXPECT_EQ(itemTexts(menuTitled("&Edit")), (QStringList{"Undo", "Redo"}));
    EXPECT_EQ(window->undoItem->shortcut(), QKeySequence("Ctrl+Z"));
    EXPECT_EQ(window->redoItem->shortcuts(), (QList<QKeySequence>{QKeySequence("Ctrl+Shift+Z"), QKeySequence("Ctrl+Y")}));
    // Nothing to take back at start: the first Text 1 is where the window begins.
    EXPECT_FALSE(window->undoItem->isEnabled());
    EXPECT_FALSE(window->redoItem->isEnabled());
    page->BitBtn7->click();
    EXPECT_TRUE(window->undoItem->isEnabled());
    EXPECT_EQ(window->undoItem->statusTip(), "Undo New Shape");
}

TEST_F(TemplateFilesTest, TheDialogsAskForTemplatesAndOpenWhereTheLastOneWas)
{
    const QString saved = folder("templates") + "/mine.pnxt";
    fakes.dialogs.saveResult = saved;
    window->saveTemplateItem->trigger();
    EXPECT_EQ(fakes.dialogs.lastSaveRequest.title, "Save Template As");
    EXPECT_EQ(fakes.dialogs.lastSaveRequest.nameFilters, QStringList{"Pennolux templates (*.pnxt)"});
    EXPECT_EQ(fakes.dialogs.lastSaveRequest.defaultSuffix, "pnxt");
    EXPECT_EQ(fakes.dialogs.lastSaveRequest.startFolder, QDir::homePath());
    EXPECT_TRUE(QFile::exists(saved));

    fakes.dialogs.openResult = saved;
    window->openTemplateItem->trigger();
    EXPECT_EQ(fakes.dialogs.lastOpenRequest.title, "Open Template");
    EXPECT_EQ(fakes.dialogs.lastOpenRequest.nameFilters, QStringList{"Pennolux templates (*.pnxt)"});
    EXPECT_EQ(fakes.dialogs.lastOpenRequest.startFolder, scratch() + "/templates");
    EXPECT_EQ(window->StatusBar1->currentMessage(), "Template mine.pnxt: images of 491 × 215 pixels");
    EXPECT_TRUE(fakes.messageBoxes.shown.empty());

    // Cancelled dialogs change nothing.
    fakes.dialogs.openResult.reset();
    fakes.dialogs.saveResult.reset();
    const int steps = window->templateSession().history().stack().count();
    window->openTemplateItem->trigger();
    window->saveTemplateItem->trigger();
    EXPECT_EQ(window->templateSession().history().stack().count(), steps);
}

TEST_F(TemplateFilesTest, ARefusedFileIsReportedAndTheCanvasStaysAsItWas)
{
    page->BitBtn7->click();
    const TemplateState before = model().state();
    const QImage canvas = page->Panel9->grab().toImage();
    const int steps = window->templateSession().history().stack().count();
    const QString broken = scratch() + "/broken.pnxt";
    QFile file(broken);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(R"({ "pennolux-template": 1, "canvas": { "width": 0, "height": 10 }, "background": null, "layers": [] })");
    file.close();
    fakes.dialogs.openResult = broken;
    window->openTemplateItem->trigger();

    ASSERT_EQ(fakes.messageBoxes.shown.size(), 1u);
    EXPECT_EQ(fakes.messageBoxes.shown[0].title, "Pennolux");
    EXPECT_EQ(fakes.messageBoxes.shown[0].icon, MessageIcon::Error);
    EXPECT_EQ(fakes.messageBoxes.shown[0].text,
              "Cannot open the template \"" + broken +
                  "\": \"canvas\": \"width\" must be a whole number from 1 to 65535, not 0.");
    EXPECT_FALSE(templateChanged(before, model().state()));
    EXPECT_EQ(window->templateSession().history().stack().count(), steps);
    EXPECT_EQ(page->Panel9->grab().toImage(), canvas);
}

TEST_F(TemplateFilesTest, UndoAndRedoKeysReachTheTemplateFromItsEditorsButNotFromTheList)
{
    page->BitBtn7->click();
    ASSERT_EQ(page->ListBox1->count(), 2);
    page->Memo1->setEnabled(true);
    page->SpinEdit1->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(page->ListBox1->count(), 1);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(page->ListBox1->count(), 2);

    // The list's own text keeps its own undo.
    window->MemoList->setFocus();
    window->MemoList->moveCursor(QTextCursor::End);
    QTest::keyClicks(window->MemoList, "xyz");
    QTest::keyClick(window->MemoList, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(window->MemoList->toPlainText().endsWith("xyz"));
    EXPECT_EQ(page->ListBox1->count(), 2);

    // From the Simple page the menu item takes the step back and shows where.
    window->PageControl1->setCurrentWidget(window->TabSheet1);
    window->undoItem->trigger();
    EXPECT_EQ(window->PageControl1->currentWidget(), window->TabSheet2);
    EXPECT_EQ(page->ListBox1->count(), 1);
}

// The window's START and pennolux-batch --template make the same files to
// the byte: a template composed in the window and saved, then one opened at
// a canvas size of its own.
TEST_F(TemplateFilesTest, TheWindowAndTheBatchToolWriteTheSameFiles)
{
    QImage picture(80, 50, QImage::Format_RGB32);
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 80; ++x)
            picture.setPixelColor(x, y, QColor(x * 3, 200 - y * 2, (x * y) % 256));
    const QString picturePath = scratch() + "/picture.png";
    ASSERT_TRUE(picture.save(picturePath));
    fakes.dialogs.openResult = picturePath;
    page->Button8->click();
    page->BitBtn7->click();
    page->BitBtn6->click();
    model().moveTo(LayerRef::text(2), QPoint(300, 10));
    model().moveTo(LayerRef::text(1), QPoint(20, 150));
    const QString templatePath = scratch() + "/composed.pnxt";
    fakes.dialogs.saveResult = templatePath;
    window->saveTemplateItem->trigger();
    const QString list = "first@example.com\n\nzoë.o'brien@example.org\nTom & Jerry\n";
    QFile listFile(scratch() + "/list.txt");
    ASSERT_TRUE(listFile.open(QIODevice::WriteOnly));
    listFile.write(list.toUtf8());
    listFile.close();

    const QString fromWindow = runInWindow("window", list);
    const QString fromTool = folder("tool");
    EXPECT_EQ(runBatchTool({"-q", "--template", templatePath, "-o", fromTool, scratch() + "/list.txt"}), 0);
    expectSameFiles(fromWindow, fromTool, 3);
    EXPECT_EQ(QImage(fromWindow + "/Output1.png").size(), QSize(491, 215));

    // Opened, the template runs at its own canvas size in both.
    TemplateDocument other = documentOf(model().state(), QSize(333, 97));
    writeTemplateFile(scratch() + "/other.pnxt", other);
    fakes.dialogs.openResult = scratch() + "/other.pnxt";
    window->openTemplateItem->trigger();
    const QString openedWindow = runInWindow("opened-window", list);
    const QString openedTool = folder("opened-tool");
    // Text 1 lies below the smaller canvas: both say so.
    EXPECT_EQ(runBatchTool({"-q", "--template", scratch() + "/other.pnxt", "-o", openedTool, scratch() + "/list.txt"},
                           "pennolux-batch: warning: 3 lines run off the image: line 1, line 3, line 4\n"),
              0);
    EXPECT_EQ(fakes.messageBoxes.shown.back().text, "Saved 3 image file(s)\n3 lines run off the image.");
    expectSameFiles(openedWindow, openedTool, 3);
    EXPECT_EQ(QImage(openedWindow + "/Output4.png").size(), QSize(333, 97));
}

TEST_F(TemplateFilesTest, SaveWritesToTheTemplatesOwnFileAndTheTitleNamesItAndMarksChanges)
{
    EXPECT_EQ(title(), "Zantoph - Pennolux");
    EXPECT_FALSE(window->isWindowModified());
    page->BitBtn7->click();
    EXPECT_EQ(shownTitle(), "Untitled template* - Zantoph - Pennolux");

    // A template without a file is saved as a new one.
    const QString path = folder("templates") + "/badge.pnxt";
    fakes.dialogs.saveResult = path;
    QTest::keyClick(window.get(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(fakes.dialogs.lastSaveRequest.title, "Save Template As");
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_EQ(shownTitle(), "badge.pnxt - Zantoph - Pennolux");
    EXPECT_EQ(window->windowFilePath(), path);

    // Then Ctrl+S writes that file without asking.
    fakes.dialogs.saveResult = folder("elsewhere") + "/other.pnxt";
    fakes.dialogs.lastSaveRequest = {};
    page->BitBtn6->click();
    EXPECT_EQ(shownTitle(), "badge.pnxt* - Zantoph - Pennolux");
    QTest::keyClick(window->MemoList, Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(fakes.dialogs.lastSaveRequest.title.isEmpty());
    EXPECT_FALSE(QFile::exists(folder("elsewhere") + "/other.pnxt"));
    EXPECT_EQ(readTemplateFile(path).content.stacking.size(), 3u);
    EXPECT_EQ(shownTitle(), "badge.pnxt - Zantoph - Pennolux");

    // Undo and redo walk away from the saved state and back.
    window->undoItem->trigger();
    EXPECT_EQ(shownTitle(), "badge.pnxt* - Zantoph - Pennolux");
    window->redoItem->trigger();
    EXPECT_EQ(shownTitle(), "badge.pnxt - Zantoph - Pennolux");

    // Save As moves the template to the new file.
    window->saveTemplateItem->trigger();
    EXPECT_EQ(shownTitle(), "other.pnxt - Zantoph - Pennolux");
    EXPECT_TRUE(fakes.messageBoxes.shown.empty());
}

TEST_F(TemplateFilesTest, ClosingWithUnsavedChangesAsksAndFollowsTheAnswer)
{
    // Unchanged: no question.
    window->close();
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(fakes.messageBoxes.saveQuestions.empty());
    window->show();

    const QString path = folder("templates") + "/badge.pnxt";
    fakes.dialogs.saveResult = path;
    window->saveTemplateItem->trigger();
    page->BitBtn7->click();
    fakes.messageBoxes.saveAnswer = SaveChoice::Cancel;
    window->close();
    EXPECT_TRUE(window->isVisible());
    ASSERT_EQ(fakes.messageBoxes.saveQuestions.size(), 1u);
    EXPECT_EQ(fakes.messageBoxes.saveQuestions[0].title, "Pennolux");
    EXPECT_EQ(fakes.messageBoxes.saveQuestions[0].text, "Save the changes to the template \"badge.pnxt\"?");
    EXPECT_TRUE(fakes.messageBoxes.shown.empty());

    // Save writes the file and closes.
    fakes.messageBoxes.saveAnswer = SaveChoice::Save;
    window->close();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(readTemplateFile(path).content.stacking.size(), 2u);

    // Save for a template without a file asks for one; cancelled, the window stays.
    window->show();
    window->newTemplateItem->trigger();
    page->BitBtn7->click();
    fakes.dialogs.saveResult.reset();
    window->close();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(fakes.messageBoxes.saveQuestions.back().text, "Save the changes to the template?");

    // A save that fails is reported and the window stays.
    fakes.dialogs.saveResult = scratch() + "/no/such/folder/t.pnxt";
    window->close();
    EXPECT_TRUE(window->isVisible());
    ASSERT_EQ(fakes.messageBoxes.shown.size(), 1u);
    EXPECT_EQ(fakes.messageBoxes.shown[0].icon, MessageIcon::Error);

    fakes.messageBoxes.saveAnswer = SaveChoice::Discard;
    window->close();
    EXPECT_FALSE(window->isVisible());
}

TEST_F(TemplateFilesTest, OpeningOrStartingAnotherTemplateAsksFirst)
{
    const QString path = folder("templates") + "/badge.pnxt";
    fakes.dialogs.saveResult = path;
    window->saveTemplateItem->trigger();
    page->BitBtn7->click();
    const TemplateState changed = model().state();

    fakes.messageBoxes.saveAnswer = SaveChoice::Cancel;
    fakes.dialogs.openResult = path;
    window->openTemplateItem->trigger();
    window->newTemplateItem->trigger();
    EXPECT_EQ(fakes.messageBoxes.saveQuestions.size(), 2u);
    EXPECT_TRUE(fakes.dialogs.lastOpenRequest.title.isEmpty());
    EXPECT_FALSE(templateChanged(changed, model().state()));

    // Discarded, New Template starts as the window does: Text 1 alone, centred.
    fakes.messageBoxes.saveAnswer = SaveChoice::Discard;
    window->PageControl1->setCurrentWidget(window->TabSheet1);
    QTest::keyClick(window->MemoList, Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(window->PageControl1->currentWidget(), window->TabSheet2);
    EXPECT_EQ(listNames(), QStringList{"Text 1"});
    const LayerBox& text = model().content().textLayer(1)->box;
    EXPECT_EQ(text.left, (491 - text.width) / 2);
    EXPECT_EQ(page->Memo1->toPlainText(), "Text");
    EXPECT_EQ(title(), "Zantoph - Pennolux");
    EXPECT_FALSE(window->isWindowModified());
    EXPECT_EQ(window->undoItem->statusTip(), "Undo New Template");
    // Unchanged, the next one asks nothing.
    window->openTemplateItem->trigger();
    EXPECT_EQ(fakes.messageBoxes.saveQuestions.size(), 3u);
    EXPECT_EQ(listNames(), QStringList{"Text 1"});
    EXPECT_EQ(shownTitle(), "badge.pnxt - Zantoph - Pennolux");
}

// The file keeps the stacking; the list comes back in the order of making.
TEST_F(TemplateFilesTest, AReopenedTemplateListsItsLayersInTheOrderTheyWereMade)
{
    page->BitBtn6->click();
    page->BitBtn7->click();
    const QRect textOne = page->ListBox1->visualItemRect(page->ListBox1->item(0));
    QTest::mouseClick(page->ListBox1->viewport(), Qt::LeftButton, {}, textOne.center());
    ASSERT_EQ(model().content().stacking,
              (std::vector<LayerRef>{LayerRef::text(2), LayerRef::shape(1), LayerRef::text(1)}));
    EXPECT_EQ(listNames(), (QStringList{"Text 1", "Text 2", "Shape 1"}));
    const QString path = scratch() + "/made.pnxt";
    fakes.dialogs.saveResult = path;
    window->saveTemplateItem->trigger();
    fakes.dialogs.openResult = path;
    window->openTemplateItem->trigger();
    EXPECT_EQ(listNames(), (QStringList{"Text 1", "Text 2", "Shape 1"}));
    EXPECT_EQ(model().content().stacking,
              (std::vector<LayerRef>{LayerRef::text(2), LayerRef::shape(1), LayerRef::text(1)}));
}

// Badges from addresses of 8 to 60 characters with Text 1 centred both ways
// and Shrink to fit on: every address is whole and centred in its image, and
// the window and pennolux-batch write the same files.
TEST_F(TemplateFilesTest, CentredAddressesThatShrinkToFitAreWholeAndCentredInEveryBadge)
{
    QImage white(40, 20, QImage::Format_RGB32);
    white.fill(Qt::white);
    ASSERT_TRUE(white.save(scratch() + "/white.png"));
    fakes.dialogs.openResult = scratch() + "/white.png";
    page->Button8->click();
    page->ListBox1->setCurrentRow(0);
    page->HorizontalAlignmentBox->setCurrentIndex(1);
    page->VerticalAlignmentBox->setCurrentIndex(1);
    page->ShrinkToFitBox->setChecked(true);
    const QList<std::pair<QSpinBox*, int>> frame{
        {page->SpinEdit1, 10}, {page->SpinEdit2, 60}, {page->SpinEdit3, 471}, {page->SpinEdit4, 95}};
    for (const auto& [field, value] : frame)
        field->setValue(value);
    ASSERT_EQ(model().content().textLayer(1)->box, (LayerBox{10, 60, 471, 95}));

    QStringList addresses{"ab@c.org", "first@example.com", "zoë.o'brien@example.org",
                          "clara+news@long-domain-name.example.com", "WWW@WWW.WW"};
    addresses << QString(48, u'm') + "@example.com" << QString(40, u'i') + "@x.io" + QString(15, u'w');
    for (const QString& address : addresses)
        ASSERT_TRUE(address.size() >= 8 && address.size() <= 60) << address.toStdString();
    const QString list = addresses.join('\n') + '\n';
    const QString templatePath = scratch() + "/badge.pnxt";
    fakes.dialogs.saveResult = templatePath;
    window->saveTemplateItem->trigger();
    QFile listFile(scratch() + "/addresses.txt");
    ASSERT_TRUE(listFile.open(QIODevice::WriteOnly));
    listFile.write(list.toUtf8());
    listFile.close();

    const QString fromWindow = runInWindow("window", list);
    EXPECT_EQ(fakes.messageBoxes.shown.back().text, QStringLiteral("Saved %1 image file(s)").arg(addresses.size()));
    const QString fromTool = folder("tool");
    EXPECT_EQ(runBatchTool({"-q", "--template", templatePath, "-o", fromTool, scratch() + "/addresses.txt"}), 0);
    expectSameFiles(fromWindow, fromTool, int(addresses.size()));

    for (int number = 1; number <= addresses.size(); ++number) {
        SCOPED_TRACE(addresses[number - 1].toStdString());
        const QImage image = QImage(fromWindow + QStringLiteral("/Output%1.png").arg(number))
                                 .convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(image.size(), QSize(491, 215));
        QRect ink;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixel(x, y) != qRgb(255, 255, 255))
                    ink |= QRect(x, y, 1, 1);
        ASSERT_FALSE(ink.isNull());
        // Within the frame, never touching its edges, with equal margins.
        EXPECT_GT(ink.left(), 10);
        EXPECT_LT(ink.right(), 480);
        EXPECT_GE(ink.top(), 60);
        EXPECT_LT(ink.bottom(), 155);
        EXPECT_LE(std::abs(ink.left() - (490 - ink.right())), 1) << ink.left() << " " << 490 - ink.right();
    }
}

// A tab-separated list fills Text 1, 2 and 3 alike in the window and in
// pennolux-batch, to the byte, with the fields named on the command line or
// taken from the saved template.
TEST_F(TemplateFilesTest, FieldsGoIntoTheirLayersAlikeInTheWindowAndTheBatchTool)
{
    page->BitBtn6->click();
    page->BitBtn6->click();
    for (int layer = 1; layer <= 3; ++layer)
        model().moveTo(LayerRef::text(layer), QPoint(12 + 40 * layer, 8 + 64 * (layer - 1)));
    page->tabFieldsItem->trigger();
    const QString templatePath = scratch() + "/t.pnxt";
    fakes.dialogs.saveResult = templatePath;
    window->saveTemplateItem->trigger();
    const QString list = "Anna Keller\tAcme\tanna@acme.example\n\nBen Ortiz\t\tben@bolt.example\nCleo\n";
    QFile listFile(scratch() + "/people.txt");
    ASSERT_TRUE(listFile.open(QIODevice::WriteOnly));
    listFile.write(list.toUtf8());
    listFile.close();

    const QString fromWindow = runInWindow("window", list);
    EXPECT_EQ(fakes.messageBoxes.shown.back().text,
              "Saved 3 image file(s)\n1 line has fewer fields than the template has text layers.");
    const QByteArray warning = "pennolux-batch: warning: 1 line has fewer fields than the template has text layers.\n";
    const QString fromTool = folder("tool");
    EXPECT_EQ(runBatchTool({"-q", "--template", templatePath, "--fields", "tab", "-o", fromTool,
                            scratch() + "/people.txt"},
                           warning),
              0);
    expectSameFiles(fromWindow, fromTool, 3);
    const QString asSaved = folder("as-saved");
    EXPECT_EQ(runBatchTool({"-q", "--template", templatePath, "-o", asSaved, scratch() + "/people.txt"}, warning), 0);
    expectSameFiles(fromWindow, asSaved, 3);
    EXPECT_FALSE(fileBytes(fromWindow + "/Output1.png") == fileBytes(fromWindow + "/Output3.png"));
}
