#include <QApplication>
#include <QDropEvent>
#include <QFile>
#include <QImage>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QUrl>

#include "../MainWindowFixture.h"
#include "app/settings/IniDocument.h"
#include "app/settings/RecentFiles.h"
#include "editor/session/TemplateSession.h"
#include "editor/widgets/TemplateCanvas.h"
#include "editor/widgets/TemplatePage.h"
#include "ui/files/RecentFilesMenu.h"

using namespace pennolux;
using namespace pennolux::testing;

namespace {

// A drag from a file manager: file: URLs, dropped at the widget's centre.
// Returns whether the widget took the drag when it entered.
bool dropFiles(QWidget* target, const QStringList& paths)
{
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls << QUrl::fromLocalFile(path);
    data.setUrls(urls);
    const QPointF centre = QRectF(target->rect()).center();
    QDragEnterEvent enter(centre.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    QApplication::processEvents();
    return enter.isAccepted() && drop.isAccepted();
}

QStringList entryTexts(const QMenu* menu)
{
    QStringList texts;
    for (const QAction* item : menu->actions())
        if (!item->isSeparator())
            texts << item->text();
    return texts;
}

} // namespace

class DesktopFilesTest : public MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    QString writeList(const QString& name, const QByteArray& text) const
    {
        const QString path = scratch() + '/' + name;
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        return path;
    }
    // A template saved from the window, then set aside for a new one.
    QString writeTemplate(const QString& name)
    {
        const QString path = scratch() + '/' + name;
        fakes.dialogs.saveResult = path;
        window->saveTemplateItem->trigger();
        window->newTemplateItem->trigger();
        window->PageControl1->setCurrentWidget(window->TabSheet1);
        return path;
    }
    QStringList storedRecentFiles() const { return readRecentFiles(IniDocument::open(settingsPath())); }
    QString listText() const { return window->MemoList->toPlainText(); }
};

TEST_F(DesktopFilesTest, AListAndATemplateGivenToTheWindowOpenAsTheirDialogsWould)
{
    const QString list = writeList("names.txt", "ada@example.org\ngrace@example.org");
    const QString templatePath = writeTemplate("badge.pnxt");

    window->openFiles({list});
    EXPECT_EQ(listText(), "ada@example.org\ngrace@example.org");
    EXPECT_EQ(window->PageControl1->currentWidget(), window->TabSheet1);

    window->openFiles({templatePath});
    EXPECT_EQ(window->templateSession().filePath(), templatePath);
    EXPECT_EQ(window->PageControl1->currentWidget(), window->TabSheet2);
    EXPECT_TRUE(window->windowTitle().startsWith("badge.pnxt"));

    // The merge fields' own lists open as lists, whatever the case of their name.
    for (const QString& name : {QStringLiteral("people.tsv"), QStringLiteral("PEOPLE.CSV")}) {
        window->openFiles({writeList(name, "Ada\tLovelace")});
        EXPECT_EQ(listText(), "Ada\tLovelace") << name.toStdString();
    }
    EXPECT_TRUE(fakes.messageBoxes.shown.empty());
}

TEST_F(DesktopFilesTest, OfSeveralFilesTheFirstListAndTheFirstTemplateOpenAndTheRestAreNamed)
{
    const QString first = writeList("first.txt", "one");
    const QString second = writeList("second.txt", "two\n");
    const QString templatePath = writeTemplate("badge.pnxt");

    window->openFiles({templatePath, first, second});
    EXPECT_EQ(listText(), "one");
    EXPECT_EQ(window->templateSession().filePath(), templatePath);
    EXPECT_EQ(window->StatusBar1->currentMessage(),
              "One list and one template open at a time; not opened: second.txt");
}

TEST_F(DesktopFilesTest, AFileThatIsNeitherOrCannotBeReadIsReportedAndTheListKeepsItsLines)
{
    const QString before = listText();
    const QString picture = scratch() + "/photo.xyz";
    writeList("photo.xyz", "?");

    window->openFiles({picture});
    ASSERT_EQ(fakes.messageBoxes.shown.size(), 1u);
    EXPECT_EQ(fakes.messageBoxes.shown[0].icon, MessageIcon::Error);
    EXPECT_EQ(fakes.messageBoxes.shown[0].text,
              "Cannot open \"photo.xyz\": Pennolux opens lists (.txt, .tsv, .csv, .docx, .doc, .odt) and templates "
              "(.pnxt). "
              "A background picture is dropped on the Advanced page's canvas.");

    // A missing list and a broken template: each reported, neither changes a thing.
    const QString broken = writeList("broken.pnxt", "not a template");
    window->openFiles({scratch() + "/gone.txt", broken});
    EXPECT_EQ(fakes.messageBoxes.shown.size(), 3u);
    EXPECT_EQ(listText(), before);
    EXPECT_TRUE(window->templateSession().filePath().isEmpty());
    EXPECT_TRUE(readRecentFiles(state.SettingsIni).isEmpty()) << "only files opened are remembered";
}

TEST_F(DesktopFilesTest, FilesDroppedOnTheListOrTheWindowOpenAndTextStillDropsAsText)
{
    const QString list = writeList("dropped.txt", "dropped line");
    EXPECT_TRUE(dropFiles(window->MemoList->viewport(), {list}));
    EXPECT_EQ(listText(), "dropped line") << "the file's lines, not its address";

    const QString templatePath = writeTemplate("badge.pnxt");
    EXPECT_TRUE(dropFiles(window.get(), {templatePath}));
    EXPECT_EQ(window->templateSession().filePath(), templatePath);

    // Text dragged from another program is the editor's as before.
    QMimeData text;
    text.setText("typed elsewhere");
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window->MemoList->viewport(), &enter);
    EXPECT_TRUE(enter.isAccepted());
}

TEST_F(DesktopFilesTest, APictureDroppedOnTheCanvasBecomesTheBackgroundAsBrowseWouldMakeIt)
{
    window->PageControl1->setCurrentWidget(window->TabSheet2);
    QApplication::processEvents();
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    const QString picture = scratch() + "/sky.png";
    ASSERT_TRUE(image.save(picture));
    TemplatePage* page = window->templatePage;

    EXPECT_TRUE(dropFiles(page->Panel9, {picture}));
    EXPECT_EQ(window->templateSession().model().content().backgroundSource, picture);
    EXPECT_EQ(page->ComboBox2->currentText(), picture);
    EXPECT_EQ(window->templateSession().history().stack().undoText(), "Background Image");

    // No picture: refused with the reader's reason, the background stays.
    const QString list = writeList("names.txt", "a\n");
    dropFiles(page->Panel9, {list});
    ASSERT_EQ(fakes.messageBoxes.shown.size(), 1u);
    EXPECT_EQ(fakes.messageBoxes.shown[0].icon, MessageIcon::Error);
    EXPECT_EQ(window->templateSession().model().content().backgroundSource, picture);
}

TEST_F(DesktopFilesTest, OpenRecentKeepsTheLastTenNewestFirstInTheSettingsFile)
{
    QStringList lists;
    for (int k = 1; k <= 12; ++k)
        lists << writeList(QString("list%1.txt").arg(k), QByteArray::number(k));
    for (const QString& list : lists)
        window->openFiles({list});
    window->openFiles({lists[5]});  // opened again: moves to the top, once

    QMenu* menu = window->recentFiles->menu();
    const QStringList expected = {"&1 list6.txt",  "&2 list12.txt", "&3 list11.txt", "&4 list10.txt",
                                  "&5 list9.txt",  "&6 list8.txt",  "&7 list7.txt",  "&8 list5.txt",
                                  "&9 list4.txt",  "1&0 list3.txt", "&Clear Menu"};
    EXPECT_EQ(entryTexts(menu), expected);
    EXPECT_EQ(menu->actions().first()->statusTip(), lists[5]);
    EXPECT_EQ(menu->accessibleName(), "Open Recent");
    EXPECT_EQ(menu->menuAction()->text(), "Open &Recent");
    ASSERT_EQ(storedRecentFiles().size(), kRecentFilesLimit);
    EXPECT_EQ(storedRecentFiles().first(), lists[5]);

    // A window started later finds them, and its entry opens the list.
    window.reset();
    state.SettingsIni = IniDocument::open(settingsPath());
    window = std::make_unique<TAppForm>(state, *translator, fakes.services());
    EXPECT_EQ(entryTexts(window->recentFiles->menu()), expected);
    window->recentFiles->menu()->actions().at(1)->trigger();
    EXPECT_EQ(listText(), "12");
    EXPECT_EQ(storedRecentFiles().first(), lists[11]);

    window->recentFiles->clearItem()->trigger();
    EXPECT_EQ(entryTexts(window->recentFiles->menu()), QStringList{"&Clear Menu"});
    EXPECT_FALSE(window->recentFiles->clearItem()->isEnabled());
    EXPECT_TRUE(storedRecentFiles().isEmpty());
}

TEST_F(DesktopFilesTest, AVanishedRecentFileIsRemovedWhenChosenWithAMessage)
{
    const QString kept = writeList("kept.txt", "kept\n");
    const QString gone = writeList("gone.txt", "gone");
    const QString templatePath = writeTemplate("badge.pnxt");
    window->openFiles({kept});
    window->openFiles({templatePath});
    window->openFiles({gone});
    ASSERT_TRUE(QFile::remove(gone));

    window->recentFiles->menu()->actions().first()->trigger();
    ASSERT_EQ(fakes.messageBoxes.shown.size(), 1u);
    EXPECT_EQ(fakes.messageBoxes.shown[0].text, "\"" + gone + "\" no longer exists; it has been removed from Open Recent.");
    EXPECT_EQ(listText(), "gone") << "the list keeps what it had";
    EXPECT_EQ(storedRecentFiles(), (QStringList{templatePath, kept}));
    QApplication::processEvents();  // the old items go
    EXPECT_EQ(entryTexts(window->recentFiles->menu()), (QStringList{"&1 badge.pnxt", "&2 kept.txt", "&Clear Menu"}));

    // A template entry opens on the Advanced page.
    window->recentFiles->menu()->actions().first()->trigger();
    EXPECT_EQ(window->templateSession().filePath(), templatePath);
}

// Linux allows a line break in a file name; the settings file cannot keep
// one, so such a list opens but is not remembered, and nothing else is lost.
TEST_F(DesktopFilesTest, AListWhoseNameHoldsALineBreakOpensButIsNotRemembered)
{
    const QString kept = writeList("kept.txt", "kept");
    const QString odd = writeList("odd\n[Settings]\nShowUpdate=1.txt", "odd");
    window->openFiles({kept});
    window->openFiles({odd});

    EXPECT_EQ(listText(), "odd");
    EXPECT_TRUE(fakes.messageBoxes.shown.empty());
    EXPECT_EQ(storedRecentFiles(), QStringList{kept});
    EXPECT_EQ(IniDocument::open(settingsPath()).readString("Settings", "ShowUpdate", "absent"), "absent");
}

// Help and version are asked for in scripts and over SSH: no display, no
// platform plugin chosen.
TEST(WindowCommandLineTest, HelpAndVersionWorkWithoutADisplay)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(name);
    const auto run = [&environment](const QStringList& arguments) {
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(PENNOLUX_WINDOW_PROGRAM, arguments);
        EXPECT_TRUE(program.waitForFinished(20000));
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
        return QString::fromUtf8(program.readAllStandardOutput());
    };
    EXPECT_TRUE(run({"--version"}).startsWith("pennolux 2.1\n"));
    const QString help = run({"--help"});
    EXPECT_TRUE(help.startsWith("Usage: pennolux [OPTION]... [FILE]...\n")) << help.toStdString();
    EXPECT_TRUE(help.contains(".pnxt"));
    EXPECT_EQ(run({"some.txt", "-h"}), help);

    // An option it does not know ends it with the reason, before any window.
    QProcess program;
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    program.setProcessEnvironment(environment);
    program.start(PENNOLUX_WINDOW_PROGRAM, {"--bogus"});
    ASSERT_TRUE(program.waitForFinished(20000));
    EXPECT_EQ(program.exitCode(), 2);
    EXPECT_TRUE(program.readAllStandardError().contains("pennolux: unknown option --bogus"));
}
