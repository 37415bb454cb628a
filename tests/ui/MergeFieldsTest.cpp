#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QImage>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>

#include "MainWindowFixture.h"
#include "SamePixels.h"
#include "app/settings/IniDocument.h"
#include "editor/session/TemplateSession.h"
#include "editor/widgets/LayerList.h"
#include "editor/widgets/TemplateCanvas.h"
#include "editor/widgets/TemplatePage.h"

using namespace pennolux;
using namespace pennolux::testing;

namespace {

const QString kPeople = "Anna Keller\tAcme\tanna@acme.example\n"
                        "Ben Ortiz\tBolt Works\tben@bolt.example\n"
                        "Cleo Park\tCedar\tcleo@cedar.example\n";

// The window at its design size with the Advanced page open on Text 1, 2
// and 3, one under the other, reading tab-separated lines.
class MergeFieldsTest : public MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        page = window->templatePage;
        ASSERT_NO_FATAL_FAILURE(showAdvancedPage());
        page->BitBtn6->click();
        page->BitBtn6->click();
        for (int layer = 1; layer <= 3; ++layer)
            model().moveTo(LayerRef::text(layer), QPoint(12, 8 + 64 * (layer - 1)));
        page->tabFieldsItem->trigger();
    }
    TemplateModel& model() { return window->templateSession().model(); }
    void putCursorOnLine(int index)
    {
        QTextCursor cursor(window->MemoList->document()->findBlockByNumber(index));
        window->MemoList->setTextCursor(cursor);
        QApplication::processEvents();
    }
    QString summary() const { return fakes.messageBoxes.shown.empty() ? QString() : fakes.messageBoxes.shown.back().text; }

    TemplatePage* page = nullptr;
};

// What the canvas shows for the line under the cursor is the file START
// writes for it, pixel for pixel.
TEST_F(MergeFieldsTest, TheCanvasShowsTheLineUnderTheCursorAsStartWritesIt)
{
    window->MemoList->setPlainText(kPeople);
    window->MemoList->setFocus();
    window->Button6Click();
    ASSERT_EQ(outputFiles(), (QStringList{"Output1.png", "Output2.png", "Output3.png"}));
    // The run left the last line in the layers; the cursor says which line shows.
    putCursorOnLine(1);
    ASSERT_TRUE(page->previewLineBox->isChecked());
    model().makeCurrent({});
    const QImage second = page->Panel9->grab().toImage();
    EXPECT_EQ(second.size(), QSize(491, 215));
    EXPECT_TRUE(samePixels(second, QImage(destination + "/Output2.png")));
    EXPECT_FALSE(samePixels(second, QImage(destination + "/Output3.png")));
    // Edited, the line shows as edited.
    QTextCursor cursor = window->MemoList->textCursor();
    cursor.movePosition(QTextCursor::StartOfBlock);
    cursor.insertText("Dr ");
    QApplication::processEvents();
    EXPECT_TRUE(page->previewsListLine());
    EXPECT_FALSE(samePixels(page->Panel9->grab().toImage(), second));
    // Off, the layers show their own texts: the last line START left there.
    page->previewLineBox->click();
    EXPECT_TRUE(samePixels(page->Panel9->grab().toImage(), QImage(destination + "/Output3.png")));
}

TEST_F(MergeFieldsTest, TheHeaderNamesTheLayersAndMakesNoImage)
{
    window->MemoList->setPlainText("name\tcompany\temail\n" + kPeople);
    page->headerLineItem->trigger();
    QApplication::processEvents();
    ASSERT_EQ(page->ListBox1->count(), 3);
    EXPECT_EQ(page->ListBox1->item(1)->text(), "Text 2 (company)");
    putCursorOnLine(0);
    EXPECT_FALSE(page->previewsListLine());
    // The first line's names follow its edits.
    window->MemoList->setPlainText("name\tfirm\temail\n" + kPeople);
    QApplication::processEvents();
    EXPECT_EQ(page->ListBox1->item(1)->text(), "Text 2 (firm)");

    window->Button6Click();
    EXPECT_EQ(outputFiles(), (QStringList{"Output2.png", "Output3.png", "Output4.png"}));
}

TEST_F(MergeFieldsTest, FileNamesComeFromThePatternAndNeverOverwrite)
{
    fakes.dialogs.textResult = "{3}";
    window->fileNamesItem->trigger();
    EXPECT_EQ(fakes.dialogs.lastTextRequest.text, "Output{n}");
    EXPECT_TRUE(fakes.dialogs.lastTextRequest.explanation.contains("{n}"));
    EXPECT_TRUE(fakes.dialogs.lastTextRequest.explanation.contains("{1}"));
    window->MemoList->setPlainText("Anna Keller\tAcme\tanna@acme.example");
    window->Button6Click();
    window->Button6Click();
    EXPECT_EQ(outputFiles(), (QStringList{"anna@acme.example (2).png", "anna@acme.example.png"}));
    EXPECT_EQ(IniDocument::open(settingsPath()).readString("Settings", "FileNames"), "{3}");

    // A pattern refused says why and keeps the one in use.
    fakes.dialogs.textResult = "{oops";
    window->fileNamesItem->trigger();
    ASSERT_EQ(fakes.messageBoxes.shown.size(), 3u);
    EXPECT_EQ(fakes.messageBoxes.shown.back().icon, MessageIcon::Error);
    EXPECT_EQ(window->fileNamePattern.text(), "{3}");
    EXPECT_EQ(IniDocument::open(settingsPath()).readString("Settings", "FileNames"), "{3}");

    // The Simple page's lines are one field each: {1} is the whole line.
    fakes.dialogs.textResult = "{1}";
    window->fileNamesItem->trigger();
    useScratchDestination(window->ComboBoxDestination1);
    QDir(destination).removeRecursively();
    QDir().mkpath(destination);
    window->MemoList->setPlainText("x@example.com");
    window->Button4Click();
    EXPECT_EQ(outputFiles(), QStringList{"x@example.com.png"});
}

TEST_F(MergeFieldsTest, ThePatternIsRestoredAtStartAndResetToDefaultsForgetsIt)
{
    fakes.dialogs.textResult = "{n}-{2}";
    window->fileNamesClick();
    state.SettingsIni = IniDocument::open(settingsPath());
    TAppForm restarted(state, *translator, fakes.services());
    EXPECT_EQ(restarted.fileNamePattern.text(), "{n}-{2}");
    // An empty answer is the default name.
    fakes.dialogs.textResult = "";
    restarted.fileNamesClick();
    EXPECT_TRUE(restarted.fileNamePattern.isDefault());

    fakes.dialogs.textResult = "{2}";
    window->fileNamesClick();
    fakes.messageBoxes.answerYes = true;
    window->ResettoDefaults1Click();
    EXPECT_TRUE(IniDocument::open(settingsPath()).readString("Settings", "FileNames").isEmpty());
}

TEST_F(MergeFieldsTest, TheSummarySaysHowManyLinesHadFewerOrMoreFields)
{
    window->MemoList->setPlainText("Anna Keller\tAcme\n" + kPeople + "Dan\tDune\td@dune.example\t+1 555\n");
    window->Button6Click();
    LineRunResult counted;
    counted.fewerFields = 1;
    counted.moreFields = 1;
    ASSERT_FALSE(fieldCountSentence(counted).isEmpty());
    EXPECT_EQ(summary(), "Saved 5 image file(s)\n" + fieldCountSentence(counted));
    // Every line as the layers: no sentence.
    window->MemoList->setPlainText(kPeople);
    window->Button6Click();
    EXPECT_EQ(summary(), "Saved 3 image file(s)");
}

} // namespace
