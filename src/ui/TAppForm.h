#pragma once

#include <QMainWindow>
#include <QStringList>
#include <memory>
#include <optional>

#include "PageRun.h"
#include "platform/Dialogs.h"
#include "platform/HandlerGuard.h"
#include "platform/PlatformServices.h"
#include "production/fields/FileNamePattern.h"
#include "production/writers/ImageFormat.h"

class QAction;
class QActionGroup;
class QComboBox;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QSplitter;
class QStatusBar;
class QTabWidget;
class QTimer;
class QToolButton;

namespace pennolux {

struct ApplicationState;
class ColorSwatch;
class PreviewPanel;
class RecentFilesMenu;
class SimplePage;
class TemplatePage;
class TemplateSession;
class Translator;
class TNewVer;
class UpdateCheckWiring;
struct UpdateCheckState;

// The main window: the text list on the left, the Simple and Advanced pages
// on the right, the menus. Controls keep their designed names so the other
// parts of the program can reach them.
class TAppForm : public QMainWindow {
    Q_OBJECT
public:
    TAppForm(ApplicationState& state, const Translator& translator, const PlatformServices& services,
             QWidget* parent = nullptr);
    ~TAppForm() override;

    // Errors of the start-up steps, each shown in the standard error box.
    void reportStartupErrors(const QStringList& errors);

    // Handlers.
    void Exit1Click();
    void Help2Click();
    void ResettoDefaults1Click();
    void ButtonBrowseClick();
    void Shape2MouseDown();
    void Button5Click();
    void PNG1Click();
    void WEBP1Click();
    void JPEG1Click();
    void IFF1Click();
    void GIF1Click();
    void BMP1Click();
    // Settings › File Names...: the pattern both pages' START names files by.
    void fileNamesClick();
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    void About1Click();
    // Replaces the list's content with the content of the file.
    void DosyaAc(const QString& FileName);

    // Files from the desktop: the command line, a drop on the list or the
    // window, Open Recent. The first list replaces the list's content, the
    // first template opens on the Advanced page (asking first about unsaved
    // changes); the others are named in the status bar, and files that are
    // neither are refused with a message. Each file is opened as its open
    // dialog's choice would be, and remembered in Open Recent.
    void openFiles(const QStringList& paths);
    void openListFile(const QString& path);
    // Nothing opens when the user keeps the unsaved template.
    void openTemplateFile(const QString& path);
    // Advanced page: START, the destination's Browse... and Change Font...
    void Button6Click();
    void Button7Click();
    void ButtonFontClick();

    // Template files and undo, beside the design's menus.
    void newTemplateClick();
    void openTemplateClick();
    void saveTemplateClick();
    void saveTemplateAsClick();
    void undoClick();
    void redoClick();

    // Update check and feedback.
    void TimerCheckerTimer();
    void UpdateNotifications1Click();
    void SendFeedback1Click();

private:
    // Made before the alias below; joins the check's thread when it goes,
    // which touches nothing of this window's members.
    std::unique_ptr<UpdateCheckWiring> updateCheck_;

public:
    // Whether the first tick has started the check.
    const bool& CheckerStarted;
    // The check's results; null until the first tick has started it.
    const UpdateCheckState* updateCheckState() const;
    TNewVer* newVersionWindow() const;

    // Text list.
    QWidget* PanelList = nullptr;
    QWidget* Panel3 = nullptr;
    QToolButton* Button1 = nullptr;
    QToolButton* Button2 = nullptr;
    QToolButton* Button3 = nullptr;
    QPlainTextEdit* MemoList = nullptr;
    QSplitter* Splitter1 = nullptr;

    // Pages.
    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheet1 = nullptr;
    QWidget* TabSheet2 = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    // On the Advanced page: the image's size and the canvas's zoom.
    QLabel* zoomLabel = nullptr;

    // Simple page: the page's own controls, under their designed names.
    SimplePage* simplePage = nullptr;
    QComboBox* ComboBoxDestination1 = nullptr;
    QPushButton* ButtonBrowse = nullptr;
    ColorSwatch* Shape2 = nullptr;
    QPushButton* Button5 = nullptr;
    QSpinBox* SpinEdit5 = nullptr;
    QSpinBox* SpinEdit6 = nullptr;
    QSpinBox* SpinEdit7 = nullptr;
    QSpinBox* SpinEdit8 = nullptr;
    QPushButton* Button4 = nullptr;
    // The image START would write for the list's current line.
    PreviewPanel* preview = nullptr;

    // Advanced page: the template editor, whose controls keep their designed
    // names (templatePage->Panel9, ->ListBox1, ...); the window gives its
    // buttons their icons. The template it shows is the session's.
    TemplatePage* templatePage = nullptr;
    TemplateSession& templateSession() { return *templateSession_; }
    QComboBox* ComboBoxDestination2 = nullptr;

    // Menus.
    QAction* Exit1 = nullptr;
    QAction* newTemplateItem = nullptr;
    QAction* openTemplateItem = nullptr;
    // Save Template: to the file the template came from.
    QAction* saveTemplateInPlaceItem = nullptr;
    // Save Template As...
    QAction* saveTemplateItem = nullptr;
    // File › Open Recent, its entries and Clear Menu.
    RecentFilesMenu* recentFiles = nullptr;
    QAction* undoItem = nullptr;
    QAction* redoItem = nullptr;
    QAction* PNG1 = nullptr;
    QAction* WEBP1 = nullptr;
    QAction* JPEG1 = nullptr;
    QAction* IFF1 = nullptr;
    QAction* GIF1 = nullptr;
    QAction* BMP1 = nullptr;
    QAction* fileNamesItem = nullptr;
    QAction* ResettoDefaults1 = nullptr;
    QAction* Help2 = nullptr;
    QAction* UpdateNotifications1 = nullptr;
    QAction* SendFeedback1 = nullptr;
    QAction* About1 = nullptr;

    QTimer* TimerChecker = nullptr;

    // The font of the Simple page, shared with the Advanced page's font dialog.
    ColoredFont FontDialog1;
    ImageFormat OutputFormat = ImageFormat::PNG;
    // Settings › File Names..., kept in the settings file.
    FileNamePattern fileNamePattern;

protected:
    // With unsaved changes to the template, asks first.
    void closeEvent(QCloseEvent* event) override;
    // The first showing keeps the window from getting smaller than its controls need.
    void showEvent(QShowEvent* event) override;

private:
    void buildMenus();
    void addTemplateFileItems(QMenu* fileMenu);
    void buildEditMenu();
    void buildRecentFilesMenu(QMenu* fileMenu);
    void acceptDroppedFiles();
    // The template from the file, with no question asked.
    void loadTemplateFile(const QString& path);
    void updateEditItems();
    // The template dialog's request, started in the folder of the last
    // template opened or saved (else the home folder).
    FileDialogRequest templateDialog(const QString& title) const;
    void showAdvancedPage();
    // Whether the template may be closed or replaced: it is unchanged, or
    // the user has it saved (true once saved) or discards the changes.
    bool templateMayBeSetAside();
    // False when the dialog was cancelled; a failed save throws.
    bool saveTemplate();
    bool saveTemplateAs();
    // The title names the template's file and marks unsaved changes; with
    // no file and nothing changed it is the application's title alone.
    void showTemplateInTitle();
    // The design size, within the screen's available area, centred there.
    // Once shown, the window never gets smaller than its controls need,
    // unless the screen is smaller still (the pages then scroll).
    void placeOnScreen();
    // The screen's available area less room for the window's frame.
    QSize screenRoom() const;
    void buildTextList();
    void buildPages();
    void buildSimplePage();
    void buildAdvancedPage();
    void buildZoomLabel();
    // The Advanced page follows the list's cursor and text, once per pass of
    // the event loop.
    void followListOnTemplatePage();
    void restoreFileNamePattern();
    QAction* addFormatItem(QMenu* menu, QActionGroup* group, const QString& caption,
                           void (TAppForm::*handler)());
    void connectHandler(QAction* action, void (TAppForm::*handler)());
    void selectFormat(QAction* item, ImageFormat format);
    // The list's open or save dialog, started in the folder of the last list
    // opened or saved (else the home folder), which it then remembers.
    std::optional<QString> chooseListFile(const QString& title, const QStringList& filters, bool saving);

    ApplicationState& state_;
    const Translator& translator_;
    PlatformServices services_;
    HandlerGuard guard_;
    PageRunContext pageRun_;
    // The template being edited, with its undo history; the page showing it
    // goes first.
    std::unique_ptr<TemplateSession> templateSession_;
    QString listFolder_;
    QString templateFolder_;
    bool templateRunning_ = false;  // the Advanced run has the template
    bool controlsFitted_ = false;
    QTimer* listFollowTimer_ = nullptr;
};

} // namespace pennolux
