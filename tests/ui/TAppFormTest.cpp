#include <QAbstractButton>
#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QFile>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSplitter>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include "FileBytes.h"
#include "MainWindowFixture.h"
#include "app/settings/IniDocument.h"
#include "platform/widgets/ColorSwatch.h"
#include "editor/widgets/TemplateCanvas.h"
#include "editor/widgets/TemplatePage.h"

using namespace pennolux;
using namespace pennolux::testing;

using MainWindowTest = MainWindowFixture;

TEST_F(MainWindowTest, StartsWithTheDesignValues)
{
    EXPECT_EQ(window->windowTitle(), "Zantoph - Pennolux");
    EXPECT_EQ(window->PageControl1->currentWidget(), window->TabSheet1);
    EXPECT_EQ(window->PageControl1->tabText(0), "Simple");
    EXPECT_EQ(window->PageControl1->tabText(1), "Advanced");
    EXPECT_EQ(window->ComboBoxDestination1->currentText(), state.BrowseFolder);
    EXPECT_EQ(window->ComboBoxDestination2->currentText(), state.BrowseFolder);
    EXPECT_EQ(window->ComboBoxDestination1->count(), 0);
    EXPECT_EQ(window->Shape2->fillColor(), QColor(166, 202, 240));
    for (QSpinBox* margin : {window->SpinEdit5, window->SpinEdit6, window->SpinEdit7, window->SpinEdit8}) {
        EXPECT_EQ(margin->value(), 1);
        EXPECT_EQ(margin->minimum(), 0);
        EXPECT_EQ(margin->maximum(), 999999999);
    }
    EXPECT_TRUE(window->PNG1->isChecked());
    EXPECT_EQ(window->OutputFormat, ImageFormat::PNG);
#if PENNOLUX_UPDATE_CHECK
    EXPECT_TRUE(window->UpdateNotifications1->isChecked());
    EXPECT_FALSE(window->UpdateNotifications1->isEnabled());
    EXPECT_TRUE(window->TimerChecker->isActive());
    EXPECT_EQ(window->TimerChecker->interval(), 1000);
#endif
    EXPECT_EQ(window->Help2->shortcut(), QKeySequence(Qt::Key_F1));
    EXPECT_EQ(window->MemoList->document()->blockCount(), 12);
    EXPECT_EQ(window->MemoList->lineWrapMode(), QPlainTextEdit::NoWrap);

    EXPECT_EQ(window->font().family(), "Tahoma");
    EXPECT_EQ(window->font().pointSize(), 8);
    EXPECT_EQ(window->FontDialog1.font.family(), "Tahoma");
    EXPECT_EQ(window->FontDialog1.font.pointSize(), 8);
    EXPECT_EQ(window->FontDialog1.color, colors::clWindowText);
    EXPECT_TRUE(window->Button4->font().bold());
    EXPECT_EQ(window->Button4->font().pointSize(), 10);
}

TEST_F(MainWindowTest, SimplePageControlsSitWhereDesigned)
{
    struct Placement {
        QWidget* control;
        QRect geometry;
    };
    const Placement placements[] = {
        {window->ComboBoxDestination1, {113, 6, 214, 21}},
        {window->ButtonBrowse, {333, 4, 134, 25}},
        {window->Shape2, {113, 33, 25, 25}},
        {window->Button5, {113, 64, 214, 25}},
        {window->SpinEdit5, {113, 95, 214, 22}},
        {window->SpinEdit6, {113, 123, 214, 22}},
        {window->SpinEdit7, {113, 151, 214, 22}},
        {window->SpinEdit8, {113, 179, 214, 22}},
        {window->Button4, {113, 206, 214, 25}},
    };
    for (const auto& [control, geometry] : placements)
        EXPECT_EQ(control->geometry(), geometry) << control->objectName().toStdString();

    const QStringList captions = {"Destination:", "Background Color:", "Font:", "Margin (Left):",
                                  "Margin (Right):", "Margin (Top):", "Margin (Bottom):"};
    QStringList shown;
    for (QLabel* label : window->TabSheet1->findChildren<QLabel*>()) {
        shown << label->text();
        EXPECT_EQ(label->textFormat(), Qt::PlainText);
    }
    for (const QString& caption : captions)
        EXPECT_TRUE(shown.contains(caption)) << caption.toStdString();

    EXPECT_EQ(window->ButtonBrowse->text(), "Browse...");
    EXPECT_EQ(window->Button5->text(), "Change Font...");
    EXPECT_EQ(window->Button4->text(), "START");
}

TEST_F(MainWindowTest, TabOrderFollowsTheDesign)
{
    QWidget* const expected[] = {window->ComboBoxDestination1, window->ButtonBrowse, window->Shape2,
                                 window->Button5,   window->SpinEdit5,    window->SpinEdit6,
                                 window->SpinEdit7, window->SpinEdit8,    window->Button4};
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    expected[0]->setFocus(Qt::TabFocusReason);
    // Combo and spin boxes hand the focus to their inner line edit.
    auto owner = [](QWidget* focused) -> QWidget* {
        QWidget* parent = focused ? focused->parentWidget() : nullptr;
        if (qobject_cast<QLineEdit*>(focused) &&
            (qobject_cast<QComboBox*>(parent) || qobject_cast<QAbstractSpinBox*>(parent)))
            return parent;
        return focused;
    };
    for (std::size_t i = 1; i < std::size(expected); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(owner(QApplication::focusWidget()), expected[i])
            << "tab stop " << i << " " << QApplication::focusWidget()->metaObject()->className() << " "
            << QApplication::focusWidget()->objectName().toStdString();
    }
}

TEST_F(MainWindowTest, FormatItemsAreOneRadioGroup)
{
    window->GIF1->trigger();
    EXPECT_EQ(window->OutputFormat, ImageFormat::GIF);
    int marked = 0;
    for (QAction* item : {window->PNG1, window->WEBP1, window->JPEG1, window->IFF1, window->GIF1, window->BMP1})
        marked += item->isChecked();
    EXPECT_EQ(marked, 1);
    EXPECT_TRUE(window->GIF1->isChecked());
    EXPECT_EQ(window->IFF1->text(), "TIFF");

    window->IFF1->trigger();
    EXPECT_EQ(window->OutputFormat, ImageFormat::TIFF);

    // Nothing is stored: a new window starts at PNG again.
    TAppForm restarted(state, *translator, fakes.services());
    EXPECT_TRUE(restarted.PNG1->isChecked());
    EXPECT_EQ(restarted.OutputFormat, ImageFormat::PNG);
}

TEST_F(MainWindowTest, BrowseChangesOnlyTheSimpleDestinationAndBrowseFolder)
{
    const QString chosen = scratch() + "/chosen";
    fakes.dialogs.folderResult = chosen;
    QTest::mouseClick(window->ButtonBrowse, Qt::LeftButton);

    EXPECT_EQ(fakes.dialogs.lastFolderTitle, "Select folder:");
    EXPECT_EQ(fakes.dialogs.lastFolderAccept, "Select");
    EXPECT_EQ(fakes.dialogs.lastFolderStart, fakes.specialFolders.desktopFolder);
    EXPECT_EQ(state.BrowseFolder, chosen);
    EXPECT_EQ(window->ComboBoxDestination1->currentText(), chosen);
    EXPECT_EQ(window->ComboBoxDestination2->currentText(), fakes.specialFolders.desktopFolder);

    // A folder typed by hand is not remembered; cancel changes nothing.
    window->ComboBoxDestination1->setEditText("/typed/by/hand");
    fakes.dialogs.folderResult.reset();
    window->ButtonBrowseClick();
    EXPECT_EQ(fakes.dialogs.lastFolderStart, chosen);
    EXPECT_EQ(state.BrowseFolder, chosen);
    EXPECT_EQ(window->ComboBoxDestination1->currentText(), "/typed/by/hand");
}

TEST_F(MainWindowTest, SwatchOpensTheColorDialogOnAnyButton)
{
    fakes.dialogs.colorResult = QColor(10, 20, 30);
    QTest::mouseClick(window->Shape2, Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_EQ(fakes.dialogs.colorDialogOpened, 1);
    EXPECT_EQ(fakes.dialogs.lastColorInitial, QColor(166, 202, 240));
    EXPECT_EQ(window->Shape2->fillColor(), QColor(10, 20, 30));

    fakes.dialogs.colorResult.reset();
    QTest::mouseClick(window->Shape2, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(fakes.dialogs.lastColorInitial, QColor(10, 20, 30));
    EXPECT_EQ(window->Shape2->fillColor(), QColor(10, 20, 30));
    EXPECT_FALSE(QFile::exists(settingsPath()));
}

TEST_F(MainWindowTest, CancelledFontDialogWritesNothing)
{
    QTest::mouseClick(window->Button5, Qt::LeftButton);
    EXPECT_EQ(fakes.dialogs.fontDialogOpened, 1);
    EXPECT_FALSE(QFile::exists(settingsPath()));
    EXPECT_EQ(window->FontDialog1.font.pointSize(), 8);
}

TEST_F(MainWindowTest, ConfirmedFontIsWrittenAtOnceEvenWhenUnchanged)
{
    fakes.dialogs.fontResult = window->FontDialog1;
    window->Button5Click();
    const QString expected = QString::fromUtf8("\xEF\xBB\xBF") +
                             "[Settings]\r\nTextcolor=clWindowText\r\nFontname=Tahoma\r\n"
                             "Fontsize=8\r\nFontstyle=0\r\n\r\n";
    EXPECT_EQ(fileText(settingsPath()), expected);

    QFont styled("Tahoma", 24);
    styled.setBold(true);
    styled.setItalic(true);
    styled.setStrikeOut(true);
    fakes.dialogs.fontResult = ColoredFont{styled, ColorValue::fromRgb(QColor(0x12, 0x34, 0x56))};
    window->Button5Click();
    EXPECT_EQ(window->FontDialog1.font.pointSize(), 24);
    const IniDocument saved = IniDocument::open(settingsPath());
    EXPECT_EQ(saved.readString("Settings", "Textcolor"), "$00563412");
    EXPECT_EQ(saved.readString("Settings", "Fontsize"), "24");
    EXPECT_EQ(saved.readString("Settings", "Fontstyle"), "5");
}

TEST_F(MainWindowTest, FontThatCannotBeSavedIsReportedAndStillUsed)
{
    QFile blocker(scratch() + "/not-a-folder");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    state.SettingsIni = IniDocument(scratch() + "/not-a-folder/settings.ini");

    QFont big("Tahoma", 30);
    fakes.dialogs.fontResult = ColoredFont{big, colors::clWindowText};
    QTest::mouseClick(window->Button5, Qt::LeftButton);

    ASSERT_EQ(fakes.messageBoxes.shown.size(), 1u);
    const ShownMessage& error = fakes.messageBoxes.shown.front();
    EXPECT_EQ(error.title, "Pennolux");
    EXPECT_EQ(error.icon, MessageIcon::Error);
    EXPECT_TRUE(error.text.startsWith("Cannot create file \"" + scratch() + "/not-a-folder/settings.ini\". "))
        << error.text.toStdString();
    EXPECT_EQ(window->FontDialog1.font.pointSize(), 30);
}

TEST_F(MainWindowTest, OnlineHelpOpensTheProductPage)
{
    window->Help2->trigger();
    ASSERT_EQ(fakes.shell.openedUrls.size(), 1);
    EXPECT_EQ(fakes.shell.openedUrls.front(), "http://" PENNOLUX_SERVICE_BASE "/help/pennolux/");

    state.AppProductName = "Pennolux Pro Edition";
    window->Help2Click();
    EXPECT_EQ(fakes.shell.openedUrls.back(), "http://" PENNOLUX_SERVICE_BASE "/help/pennolux-pro-edition/");
}

TEST_F(MainWindowTest, ResetAnsweredNoChangesNothing)
{
    const QString perUser = configHome() + "/Zantoph/Pennolux/settings.ini";
    QDir().mkpath(configHome() + "/Zantoph/Pennolux");
    QFile(perUser).open(QIODevice::WriteOnly);

    fakes.messageBoxes.answerYes = false;
    window->ResettoDefaults1->trigger();
    ASSERT_EQ(fakes.messageBoxes.shown.size(), 1u);
    EXPECT_EQ(fakes.messageBoxes.shown[0].title, "Confirm");
    EXPECT_EQ(fakes.messageBoxes.shown[0].text, "Restart Application?");
    EXPECT_TRUE(QFile::exists(perUser));
    EXPECT_TRUE(fakes.shell.startedPrograms.isEmpty());
}

TEST_F(MainWindowTest, ResetAnsweredYesDeletesOnlyThePerUserFileAndRestarts)
{
    const QString perUser = configHome() + "/Zantoph/Pennolux/settings.ini";
    QDir().mkpath(configHome() + "/Zantoph/Pennolux");
    QFile(perUser).open(QIODevice::WriteOnly);
    QFile(settingsPath()).open(QIODevice::WriteOnly);

    fakes.messageBoxes.answerYes = true;
    window->show();
    window->ResettoDefaults1Click();
    EXPECT_FALSE(QFile::exists(perUser));
    EXPECT_TRUE(QFile::exists(settingsPath()));
    ASSERT_EQ(fakes.shell.startedPrograms.size(), 1);
    EXPECT_EQ(fakes.shell.startedPrograms.front(), QCoreApplication::applicationFilePath());
    EXPECT_TRUE(fakes.shell.startedArguments.isEmpty());
    EXPECT_FALSE(window->isVisible());
}

TEST_F(MainWindowTest, StartupErrorsAreShownInTheStandardErrorBox)
{
    window->reportStartupErrors({"Cannot read delang.txt"});
    ASSERT_EQ(fakes.messageBoxes.shown.size(), 1u);
    EXPECT_EQ(fakes.messageBoxes.shown[0].title, "Pennolux");
    EXPECT_EQ(fakes.messageBoxes.shown[0].text, "Cannot read delang.txt.");
    EXPECT_EQ(fakes.messageBoxes.shown[0].icon, MessageIcon::Error);
}

namespace {

// The controls a user works with on the page: whatever takes the focus or is a button.
QList<QWidget*> controlsOf(QWidget* page)
{
    QList<QWidget*> controls;
    for (QWidget* control : page->findChildren<QWidget*>()) {
        if (control->isVisible() && ((control->focusPolicy() & Qt::TabFocus) || qobject_cast<QAbstractButton*>(control)))
            controls << control;
    }
    return controls;
}

// Whole, within every widget it lies in, up to the window.
bool wholeInWindow(QWidget* control)
{
    for (QWidget* part = control; !part->isWindow(); part = part->parentWidget()) {
        if (!part->parentWidget()->rect().contains(part->geometry())) {
            ADD_FAILURE() << part->metaObject()->className() << " " << part->objectName().toStdString()
                          << " at " << part->geometry().x() << "," << part->geometry().y() << " "
                          << part->width() << "x" << part->height() << " in " << part->parentWidget()->width()
                          << "x" << part->parentWidget()->height();
            return false;
        }
    }
    return true;
}

} // namespace

TEST_F(MainWindowTest, AtItsSmallestTheWindowShowsEveryControlOfBothPagesWhole)
{
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    const QSize design = kDesignClientSize + QSize(0, window->menuBar()->sizeHint().height());
    EXPECT_LE(window->minimumWidth(), design.width());
    EXPECT_LE(window->minimumHeight(), design.height());
    window->resize(1, 1);
    window->Splitter1->setSizes({1000, 1});  // the list as wide as it goes
    QApplication::processEvents();
    EXPECT_EQ(window->size(), window->minimumSize());
    for (QWidget* page : {window->TabSheet1, window->TabSheet2}) {
        window->PageControl1->setCurrentWidget(page);
        QApplication::processEvents();
        const QList<QWidget*> controls = controlsOf(page) + controlsOf(window->PanelList);
        EXPECT_GT(controls.size(), 10);
        for (QWidget* control : controls)
            EXPECT_TRUE(wholeInWindow(control)) << control->objectName().toStdString() << " "
                                                << control->metaObject()->className();
    }
    // Both pages are drawn with room to spare: the canvas still has pixels.
    EXPECT_GE(window->templatePage->Panel9->width(), 16);
}

TEST_F(MainWindowTest, TheWindowOpensInsideTheScreenAndScrollsOnAScreenTooSmallForIt)
{
    // The offscreen screen (800 pixels wide) is narrower than the design.
    TAppForm opened(state, *translator, fakes.services());
    const QRect available = opened.screen()->availableGeometry();
    ASSERT_LT(available.width(), 817 + 16);
    EXPECT_TRUE(available.contains(opened.frameGeometry()));
    EXPECT_LE(opened.width(), available.width() - 16);
    EXPECT_EQ(opened.height(), 440 + opened.menuBar()->sizeHint().height());
    EXPECT_LE(opened.minimumWidth(), opened.width());
    EXPECT_LE(std::abs(opened.frameGeometry().center().x() - available.center().x()), 1);

    // Smaller than its controls need (as on a small screen at twice the
    // scale), the pages scroll to every control.
    opened.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&opened));
    EXPECT_TRUE(available.contains(opened.frameGeometry()));
    opened.setMinimumSize(0, 0);
    opened.resize(320, 240);
    opened.PageControl1->setCurrentWidget(opened.TabSheet2);
    QApplication::processEvents();
    auto* scroller = opened.findChild<QScrollArea*>("pageScroller");
    ASSERT_NE(scroller, nullptr);
    const TemplatePage& page = *opened.templatePage;
    for (QWidget* control : std::initializer_list<QWidget*>{page.Button6, page.SpinEdit4, page.Button8, page.ButtonFont}) {
        // Scrolled to as far as the scroll bars go.
        const QRect place(control->mapTo(scroller->widget(), QPoint(0, 0)), control->size());
        scroller->ensureVisible(place.center().x(), place.center().y(), place.width() / 2 + 1, place.height() / 2 + 1);
        const QRect shown(control->mapTo(scroller->viewport(), QPoint(0, 0)), control->size());
        EXPECT_TRUE(scroller->viewport()->rect().contains(shown)) << control->objectName().toStdString();
    }
}
