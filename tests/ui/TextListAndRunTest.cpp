#include <QDir>
#include <QFile>
#include <QImage>
#include <QStatusBar>
#include <QTabWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QTextCursor>

#include "FileBytes.h"
#include "MainWindowFixture.h"
#include "platform/fonts/DesignFont.h"
#include "production/simplerun/SimpleRun.h"
#include "ui/PageRun.h"
#include "production/simplerun/TextMetrics.h"

using namespace pennolux;
using namespace pennolux::testing;

class TextListAndRunTest : public MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        useScratchDestination(window->ComboBoxDestination1);
    }
};

TEST_F(TextListAndRunTest, ClearEmptiesTheListAtOnce)
{
    QTest::mouseClick(window->Button1, Qt::LeftButton);
    EXPECT_TRUE(window->MemoList->toPlainText().isEmpty());
    EXPECT_TRUE(fakes.messageBoxes.shown.empty());
}

TEST_F(TextListAndRunTest, OpenReplacesTheListAndAFailureKeepsIt)
{
    const QString list = writeScratchFile("list.txt", "first@example.com\r\nsecond@example.com\rthird@example.com\n");
    fakes.dialogs.openResult = list;
    QTest::mouseClick(window->Button2, Qt::LeftButton);
    EXPECT_EQ(window->MemoList->toPlainText(), "first@example.com\nsecond@example.com\nthird@example.com\n");
    EXPECT_EQ(fakes.dialogs.lastOpenRequest.defaultSuffix, "txt");
    EXPECT_EQ(fakes.dialogs.lastOpenRequest.nameFilters,
              QStringList({"Any File (*)", "Lists and Documents (*.txt *.docx *.doc *.odt)"}));

    fakes.dialogs.openResult = scratch() + "/missing.txt";
    window->Button2->click();
    ASSERT_EQ(fakes.messageBoxes.shown.size(), 1u);
    EXPECT_EQ(fakes.messageBoxes.shown[0].icon, MessageIcon::Error);
    EXPECT_TRUE(fakes.messageBoxes.shown[0].text.contains(scratch() + "/missing.txt"));
    EXPECT_TRUE(window->MemoList->toPlainText().startsWith("first@example.com"));
}

TEST_F(TextListAndRunTest, SaveWritesUtf8WithoutBomJoinedByCrLf)
{
    const QString target = scratch() + "/saved.txt";
    window->MemoList->setPlainText(QString::fromUtf8("a\xC2\xA0" "b@example.com\nGr\xC3\xBC\xC3\x9F" "e"));
    fakes.dialogs.saveResult = target;
    QTest::mouseClick(window->Button3, Qt::LeftButton);
    // The non-breaking space is data and must survive the save.
    EXPECT_EQ(fileBytes(target), QByteArray("a\xC2\xA0" "b@example.com\r\nGr\xC3\xBC\xC3\x9F" "e"));
    EXPECT_EQ(fakes.dialogs.lastSaveRequest.nameFilters.value(0), "TXT File (*.txt)");

    window->MemoList->clear();
    window->Button3->click();
    EXPECT_EQ(fileBytes(target).size(), 0);
}

TEST_F(TextListAndRunTest, StartWritesOneImagePerNonEmptyLineAndReports)
{
    window->MemoList->setPlainText("first@example.com\n\nthird@example.com\n");
    QTest::mouseClick(window->Button4, Qt::LeftButton);

    EXPECT_EQ(outputFiles(), (QStringList{"Output1.png", "Output3.png"}));
    ASSERT_EQ(fakes.messageBoxes.shown.size(), 1u);
    EXPECT_EQ(fakes.messageBoxes.shown[0].title, "SUCCESS");
    EXPECT_EQ(fakes.messageBoxes.shown[0].text, "Saved 2 image file(s)");
    EXPECT_EQ(fakes.messageBoxes.shown[0].icon, MessageIcon::Information);
    EXPECT_EQ(QImage(destination + "/Output1.png").height(), 15);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(TextListAndRunTest, EscapeStopsTheRunAfterTheFileInHandAndSaysSo)
{
    const ScopedLocale english(QLocale(QLocale::English, QLocale::UnitedStates));
    QStringList lines;
    for (int number = 1; number <= 3000; ++number)
        lines << QStringLiteral("line%1@example.com").arg(number);
    window->MemoList->setPlainText(lines.join('\n'));
    EscapeAtLine seen;
    const QMetaObject::Connection escape = pressEscapeAt("Line 895 of 3,000", seen);
    QTest::mouseClick(window->Button4, Qt::LeftButton);
    QObject::disconnect(escape);

    // Progress line by line, with START and the page's settings locked.
    ASSERT_FALSE(seen.shown.isEmpty());
    EXPECT_EQ(seen.shown.first(), "Line 1 of 3,000");
    EXPECT_EQ(seen.shown.last(), "Line 895 of 3,000");
    EXPECT_TRUE(seen.pagesLocked);
    EXPECT_TRUE(window->PageControl1->isEnabled());
    EXPECT_TRUE(window->StatusBar1->currentMessage().isEmpty());

    ASSERT_EQ(fakes.messageBoxes.shown.size(), 1u);
    EXPECT_EQ(fakes.messageBoxes.shown[0].title, "Pennolux");
    EXPECT_EQ(fakes.messageBoxes.shown[0].text, "Stopped after 895 of 3,000 lines: saved 895 image file(s)");
    EXPECT_EQ(fakes.messageBoxes.shown[0].icon, MessageIcon::Information);
    // Exactly the files reported, each a whole image: the workers' lines read
    // ahead leave nothing behind.
    const QStringList files = outputFiles();
    ASSERT_EQ(files.size(), 895);
    for (int number = 1; number <= 895; ++number) {
        const QString name = QStringLiteral("Output%1.png").arg(number);
        ASSERT_TRUE(files.contains(name)) << name.toStdString();
        EXPECT_FALSE(QImage(destination + "/" + name).isNull()) << name.toStdString();
    }
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(TextListAndRunTest, TheStopAndEmptyListMessagesAreTranslatedWithTheLocalesNumbers)
{
    const ScopedLocale german(QLocale(QLocale::German, QLocale::Germany));
    QDir().mkpath(scratch() + "/Languages");
    writeScratchFile("Languages/LanguageCodes.csv", "1031,delang.txt\r\n");
    writeScratchFile("Languages/delang.txt",
                     "{Stopped after %1 of %2 lines: saved %3 image file(s)}Angehalten nach %1 von %2 Zeilen: "
                     "%3 Bilddatei(en) gespeichert\r\n"
                     "{The list holds no lines: no image file was written}Die Liste enth\xC3\xA4lt keine Zeilen\r\n");
    fakes.locale.languageId = 1031;
    Translator translated(scratch() + "/Languages", fakes.locale);
    translated.LoadLanguage("");
    LineRunResult stopped;
    stopped.linesSeen = 1200;
    stopped.made = 1199;
    stopped.stopped = true;
    EXPECT_EQ(runSummary(stopped, 3000, false, translated),
              "Angehalten nach 1.200 von 3.000 Zeilen: 1.199 Bilddatei(en) gespeichert");
    EXPECT_EQ(emptyListMessage(translated), QString::fromUtf8("Die Liste enth\xC3\xA4lt keine Zeilen"));
}

// Shift+Enter would put a line separator inside one line of the editor.
TEST_F(TextListAndRunTest, ShiftEnterEndsALineAsEnterDoes)
{
    window->MemoList->clear();
    window->MemoList->setFocus();
    QTest::keyClicks(window->MemoList, "first@example.com");
    QTest::keyClick(window->MemoList, Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClicks(window->MemoList, "second@example.com");

    QTest::mouseClick(window->Button4, Qt::LeftButton);
    EXPECT_EQ(outputFiles(), (QStringList{"Output1.png", "Output2.png"}));

    const QString target = scratch() + "/saved.txt";
    fakes.dialogs.saveResult = target;
    window->Button3->click();
    EXPECT_EQ(fileBytes(target), QByteArray("first@example.com\r\nsecond@example.com"));
}

// Both pages' START runs the list as it was when START was pressed, however
// it is edited while the run goes on.
TEST_F(TextListAndRunTest, StartRunsTheListAsItWasAtStartAndSaysWhenItChangedMeanwhile)
{
    const PlatformServices services = fakes.services();
    const ImageFormat format = ImageFormat::PNG;
    const FileNamePattern fileNames;
    const PageRunContext context{*window, state, *translator, services, format, fileNames, window->StatusBar1, window->PageControl1};
    window->MemoList->setPlainText("a@example.com\n\nc@example.com\nd@example.com\n");
    QStringList seen;
    runAndReport(context, *window->MemoList, destination, FieldFormat::OneField, [&](const LineSource& lines, const LineRunOptions&) {
        LineRunResult result;
        for (int index = 0; index < lines.lineCount(); ++index) {
            if (index == 1)
                window->MemoList->clear();
            seen << lines.line(index);
            ++result.linesSeen;
            result.made += seen.back().isEmpty() ? 0 : 1;
        }
        return result;
    });
    EXPECT_EQ(seen, (QStringList{"a@example.com", "", "c@example.com", "d@example.com"}));
    ASSERT_EQ(fakes.messageBoxes.shown.size(), 1u);
    EXPECT_EQ(fakes.messageBoxes.shown[0].text,
              "Saved 3 image file(s) from the list as it was at START; the list was changed during the run.");

    // Unchanged, the summary is the plain one.
    window->MemoList->setPlainText("a@example.com");
    window->Button4->click();
    ASSERT_EQ(fakes.messageBoxes.shown.size(), 2u);
    EXPECT_EQ(fakes.messageBoxes.shown[1].text, "Saved 1 image file(s)");
}

TEST_F(TextListAndRunTest, ALineSeparatorInTheListIsSavedAsALineBreak)
{
    window->MemoList->setPlainText(QString::fromUtf8("first\xE2\x80\xA8second\xE2\x80\xA9third"));
    const QString target = scratch() + "/saved.txt";
    fakes.dialogs.saveResult = target;
    window->Button3->click();
    EXPECT_EQ(fileBytes(target), QByteArray("first\r\nsecond\r\nthird"));
}

// The list shows a line separator as a line break, so one that comes in by a
// file or by pasting ends a line too: START makes an image of each line shown.
TEST_F(TextListAndRunTest, ALineSeparatorOpenedOrPastedEndsALine)
{
    const QString list = writeScratchFile("separated.txt", QByteArray("opened\xE2\x80\xA8" "file"));
    window->DosyaAc(list);
    QTextCursor end = window->MemoList->textCursor();
    end.movePosition(QTextCursor::End);
    window->MemoList->setTextCursor(end);
    QGuiApplication::clipboard()->setText(QString::fromUtf8("\npasted\xE2\x80\xA8text"));
    window->MemoList->paste();

    EXPECT_EQ(window->MemoList->document()->blockCount(), 4);
    window->Button4->click();
    EXPECT_EQ(outputFiles(), (QStringList{"Output1.png", "Output2.png", "Output3.png", "Output4.png"}));
    const QString target = scratch() + "/saved.txt";
    fakes.dialogs.saveResult = target;
    window->Button3->click();
    EXPECT_EQ(fileBytes(target), QByteArray("opened\r\nfile\r\npasted\r\ntext"));
}

// START hands every setting of the page to the run: the written file is the
// image of exactly these margins (no two swapped), this background, this
// font and colour, in this format.
TEST_F(TextListAndRunTest, StartDrawsWithEverySettingOfThePage)
{
    window->SpinEdit5->setValue(2);
    window->SpinEdit6->setValue(5);
    window->SpinEdit7->setValue(3);
    window->SpinEdit8->setValue(7);
    fakes.dialogs.colorResult = QColor(20, 120, 60);
    window->Shape2MouseDown();
    QFont font = designFont(10);
    font.setBold(true);
    fakes.dialogs.fontResult = ColoredFont{font, ColorValue::fromRgb(QColor(255, 0, 0))};
    window->Button5->click();
    window->GIF1->trigger();
    window->MemoList->setPlainText("Hi@x");
    window->Button4->click();

    ASSERT_EQ(outputFiles(), QStringList({"Output1.gif"}));
    SimpleLook expected;
    expected.left = 2;
    expected.right = 5;
    expected.top = 3;
    expected.bottom = 7;
    expected.background = QColor(20, 120, 60);
    expected.font = font;
    expected.textColor = QColor(255, 0, 0);
    // Tahoma at 10 pt is drawn in two colours, which GIF keeps exactly.
    const QImage written = QImage(destination + "/Output1.gif").convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(written, renderSimpleImage("Hi@x", expected, RenderFont(font)));
}

TEST_F(TextListAndRunTest, AnEmptyListGivesNoFileAndSaysSo)
{
    window->MemoList->clear();
    window->Button4->click();
    EXPECT_TRUE(outputFiles().isEmpty());
    ASSERT_EQ(fakes.messageBoxes.shown.size(), 1u);
    EXPECT_EQ(fakes.messageBoxes.shown[0].title, "Pennolux");
    EXPECT_EQ(fakes.messageBoxes.shown[0].text, "The list holds no lines: no image file was written");
    EXPECT_EQ(fakes.messageBoxes.shown[0].icon, MessageIcon::Information);

    // Lines, if empty ones, make the plain summary.
    window->MemoList->setPlainText("\n\n");
    window->Button4->click();
    ASSERT_EQ(fakes.messageBoxes.shown.size(), 2u);
    EXPECT_EQ(fakes.messageBoxes.shown[1].text, "Saved 0 image file(s)");
}

TEST_F(TextListAndRunTest, MissingDestinationStopsWithTheErrorBox)
{
    window->ComboBoxDestination1->setEditText(destination + "/missing");
    window->WEBP1->trigger();
    window->Button4->click();
    ASSERT_EQ(fakes.messageBoxes.shown.size(), 1u);
    EXPECT_EQ(fakes.messageBoxes.shown[0].title, "Pennolux");
    EXPECT_TRUE(fakes.messageBoxes.shown[0].text.startsWith(
        "Cannot create file \"" + destination + "/missing/Output1.webp\". "));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(TextListAndRunTest, CompletionTitleIsTranslated)
{
    const QString languages = scratch() + "/Languages";
    QDir().mkpath(languages);
    writeScratchFile("Languages/LanguageCodes.csv", "1031,delang.txt\r\n");
    writeScratchFile("Languages/delang.txt", "{SUCCESS}ERFOLG\r\n");
    fakes.locale.languageId = 1031;
    Translator german(languages, fakes.locale);
    german.LoadLanguage("");
    TAppForm translated(state, german, fakes.services());
    translated.ComboBoxDestination1->setEditText(destination);
    translated.MemoList->setPlainText("x@example.com");
    translated.Button4Click();
    ASSERT_EQ(fakes.messageBoxes.shown.size(), 1u);
    EXPECT_EQ(fakes.messageBoxes.shown[0].title, "ERFOLG");
    EXPECT_EQ(fakes.messageBoxes.shown[0].text, "Saved 1 image file(s)");
}

TEST_F(TextListAndRunTest, DocumentsGoThroughTheReaderAndAFailureKeepsTheList)
{
    fakes.documents.text = "para one\rpara two\r\n";
    window->DosyaAc(scratch() + "/Letter.DOCX");
    EXPECT_EQ(fakes.documents.readPaths.value(0), scratch() + "/Letter.DOCX");
    EXPECT_EQ(window->MemoList->toPlainText(), "para one\npara two\n");
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

    fakes.documents.failure = "Cannot read \"x.doc\" as a Word 97-2003 document: the document is encrypted";
    fakes.dialogs.openResult = scratch() + "/x.doc";
    window->Button2->click();
    ASSERT_EQ(fakes.messageBoxes.shown.size(), 1u);
    EXPECT_EQ(fakes.messageBoxes.shown[0].text, "Cannot read \"x.doc\" as a Word 97-2003 document: the document is encrypted.");
    EXPECT_EQ(window->MemoList->toPlainText(), "para one\npara two\n");
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}
