#include "TAppForm.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QShowEvent>
#include <QShortcut>
#include <QSplitter>
#include <QLabel>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QUndoStack>
#include <QVBoxLayout>

#include "Icons.h"
#include "MemoFill.h"
#include "MemoLineSource.h"
#include "SimplePage.h"
#include "TextListEdit.h"
#include "files/FilesToOpen.h"
#include "files/RecentFilesMenu.h"
#include "app/ApplicationState.h"
#include "app/DataFiles.h"
#include "app/settings/DataFolder.h"
#include "app/settings/FileNameKeys.h"
#include "app/settings/FontKeys.h"
#include "app/web/OnlineHelp.h"
#include "editor/file/TemplateFile.h"
#include "editor/session/TemplateSession.h"
#include "editor/widgets/TemplateCanvas.h"
#include "editor/widgets/TemplatePage.h"
#include "localisation/Translator.h"
#include "platform/AppError.h"
#include "platform/BusyCursor.h"
#include "platform/MessageBoxes.h"
#include "platform/desktop/Locale.h"
#include "platform/desktop/Shell.h"
#include "platform/desktop/SpecialFolders.h"
#include "platform/desktop/TlsTrust.h"
#include "platform/documents/DocumentImport.h"
#include "platform/fonts/DesignFont.h"
#include "platform/text/ColorValue.h"
#include "platform/text/TextLines.h"
#include "platform/widgets/FileDrop.h"
#include "platform/widgets/FormHelpers.h"
#include "production/textlist/TextListFile.h"
#include "services/widgets/TFeedbackForm.h"
#include "services/widgets/UpdateCheckWiring.h"
#include "ui/about/TAboutBox.h"

// The icons are compiled into this static library; nothing else would pull them in.
static void initialiseIconResources()
{
    Q_INIT_RESOURCE(pennolux);
}

namespace pennolux {

namespace {

constexpr int kClientWidth = 817;
constexpr int kClientHeight = 440;
constexpr int kListPanelWidth = 185;
constexpr int kStatusBarHeight = 19;
// The window's frame and title bar are known only once it is shown; this
// much of the screen is kept for them when the design size does not fit.
constexpr QSize kFrameAllowance(16, 40);

// The twelve sample addresses the list shows at every start; the same file
// feeds the batch tool when scripts/run finds no display. The built-in copy
// stands in when the data folder lacks it.
QString sampleListText()
{
    const QString installed = DataFiles::forRunningProgram().findFile(QStringLiteral("sample-list.txt"));
    QFile sample(installed.isEmpty() ? QStringLiteral(":/sample-list.txt") : installed);
    return sample.open(QIODevice::ReadOnly) ? QString::fromUtf8(sample.readAll()) : QString();
}

QToolButton* makeIconButton(QWidget* parent, const char* iconName, const QString& name, int left)
{
    auto* button = new QToolButton(parent);
    button->setIcon(uiIcon(iconName));
    button->setToolTip(name);
    button->setAccessibleName(name);
    button->setFocusPolicy(Qt::StrongFocus);
    button->setAutoRaise(true);
    button->setGeometry(left, 3, 24, 24);
    return button;
}

} // namespace

TAppForm::TAppForm(ApplicationState& state, const Translator& translator, const PlatformServices& services,
                   QWidget* parent)
    : QMainWindow(parent), updateCheck_(std::make_unique<UpdateCheckWiring>(state, translator, services, *this)),
      CheckerStarted(updateCheck_->started()), state_(state), translator_(translator), services_(services),
      guard_(services.messageBoxes, this),
      pageRun_{*this, state_, translator_, services_, OutputFormat, fileNamePattern, StatusBar1, PageControl1},
      templateSession_(std::make_unique<TemplateSession>())
{
    initialiseIconResources();
    setObjectName("AppForm");
    setFont(designFont(8));
    setWindowIcon(uiIcon("pennolux"));
    setWindowTitle(state_.AppTitle);

    FontDialog1 = {designFont(8), colors::clWindowText};
    restoreFileNamePattern();

    buildMenus();
    auto* central = new QWidget(this);
    auto* layout = new QHBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    Splitter1 = new QSplitter(Qt::Horizontal, central);
    Splitter1->setObjectName("Splitter1");
    Splitter1->setOpaqueResize(true);
    Splitter1->setHandleWidth(3);
    Splitter1->setChildrenCollapsible(false);
    layout->addWidget(Splitter1);
    // The pages keep the room their controls need; a window smaller than
    // that, on a screen too small for it, scrolls them.
    auto* scroller = new QScrollArea(this);
    scroller->setObjectName("pageScroller");
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setFocusPolicy(Qt::NoFocus);
    scroller->setWidgetResizable(true);
    scroller->setWidget(central);
    setCentralWidget(scroller);
    buildTextList();
    buildPages();
    followListOnTemplatePage();
    acceptDroppedFiles();
    Splitter1->setSizes({kListPanelWidth, kClientWidth - kListPanelWidth - Splitter1->handleWidth()});

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName("StatusBar1");
    StatusBar1->setFixedHeight(kStatusBarHeight);
    setStatusBar(StatusBar1);
    buildZoomLabel();

    TimerChecker = updateCheck_->startTimer();
    if (TimerChecker)
        connect(TimerChecker, &QTimer::timeout, this, guard_.slot(this, &TAppForm::TimerCheckerTimer));

    ComboBoxDestination1->setEditText(state_.BrowseFolder);
    ComboBoxDestination2->setEditText(state_.BrowseFolder);

    // The list is what a user comes to edit; typing goes there first.
    MemoList->setFocus(Qt::OtherFocusReason);
    placeOnScreen();
    showTemplateInTitle();
}

QSize TAppForm::screenRoom() const
{
    const QScreen* screen = screenForWindow(*this);
    if (!screen)
        return QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    return (screen->availableGeometry().size() - kFrameAllowance).expandedTo(QSize(1, 1));
}

void TAppForm::placeOnScreen()
{
    resize(QSize(kClientWidth, kClientHeight + menuBar()->sizeHint().height()).boundedTo(screenRoom()));
    centreOnScreen(*this);
}

// Widgets never shown count as empty to their layouts: what the controls
// need is known only now.
void TAppForm::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (event->spontaneous() || controlsFitted_)
        return;
    controlsFitted_ = true;
    const int bars = menuBar()->sizeHint().height() + kStatusBarHeight;
    const QSize least = (static_cast<QScrollArea*>(centralWidget())->widget()->minimumSizeHint() + QSize(0, bars))
                            .boundedTo(screenRoom());
    setMinimumSize(least);
    if (width() < least.width() || height() < least.height()) {
        resize(size().expandedTo(least));
        centreOnScreen(*this);
    }
}

TAppForm::~TAppForm()
{
    // The window's widgets would go after its members: the page goes now,
    // while the session it shows is still there; the list, going later,
    // no longer reaches it.
    disconnect(MemoList, nullptr, this, nullptr);
    delete listFollowTimer_;
    delete templatePage;
}

void TAppForm::reportStartupErrors(const QStringList& errors)
{
    for (const QString& error : errors)
        guard_.showError(error);
}

void TAppForm::connectHandler(QAction* action, void (TAppForm::*handler)())
{
    connect(action, &QAction::triggered, this, guard_.slot(this, handler));
}

void TAppForm::buildMenus()
{
    // Mnemonics and F10 reach the menus from the keyboard; a lone Alt does
    // through the style.
    QMenu* fileMenu = menuBar()->addMenu("&File");
    auto* openMenus = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(openMenus, &QShortcut::activated, this, [this, fileMenu] {
        menuBar()->setFocus(Qt::ShortcutFocusReason);
        menuBar()->setActiveAction(fileMenu->menuAction());
    });
    addTemplateFileItems(fileMenu);
    Exit1 = fileMenu->addAction(uiIcon("exit"), "Exit");
    connectHandler(Exit1, &TAppForm::Exit1Click);

    buildEditMenu();

    QMenu* settingsMenu = menuBar()->addMenu("&Settings");
    QMenu* formatMenu = settingsMenu->addMenu("Output Format");
    auto* formats = new QActionGroup(this);
    formats->setExclusive(true);
    PNG1 = addFormatItem(formatMenu, formats, "PNG", &TAppForm::PNG1Click);
    WEBP1 = addFormatItem(formatMenu, formats, "WEBP", &TAppForm::WEBP1Click);
    JPEG1 = addFormatItem(formatMenu, formats, "JPEG", &TAppForm::JPEG1Click);
    IFF1 = addFormatItem(formatMenu, formats, "TIFF", &TAppForm::IFF1Click);
    GIF1 = addFormatItem(formatMenu, formats, "GIF", &TAppForm::GIF1Click);
    BMP1 = addFormatItem(formatMenu, formats, "BMP", &TAppForm::BMP1Click);
    PNG1->setChecked(true);
    fileNamesItem = settingsMenu->addAction("File Names...");
    fileNamesItem->setObjectName("fileNamesItem");
    connectHandler(fileNamesItem, &TAppForm::fileNamesClick);
    settingsMenu->addSeparator();
    ResettoDefaults1 = settingsMenu->addAction("Reset to Defaults...");
    connectHandler(ResettoDefaults1, &TAppForm::ResettoDefaults1Click);

    QMenu* helpMenu = menuBar()->addMenu("&Help");
    Help2 = helpMenu->addAction(uiIcon("help"), "Online Help");
    Help2->setShortcut(QKeySequence(Qt::Key_F1));
    Help2->setShortcutContext(Qt::ApplicationShortcut);
    connectHandler(Help2, &TAppForm::Help2Click);
    UpdateNotifications1 = updateCheck_->addNotificationsSwitch(*helpMenu);
    if (UpdateNotifications1)
        connectHandler(UpdateNotifications1, &TAppForm::UpdateNotifications1Click);
    helpMenu->addSeparator();
    SendFeedback1 = helpMenu->addAction(uiIcon("feedback"), "Send Feedback...");
    connectHandler(SendFeedback1, &TAppForm::SendFeedback1Click);
    About1 = helpMenu->addAction(uiIcon("about"), "About...");
    connectHandler(About1, &TAppForm::About1Click);
}

// Ctrl+N, Ctrl+O, Ctrl+S and Ctrl+Shift+S work wherever the focus is, as
// the list's own editor claims none of them and its buttons have no keys.
void TAppForm::addTemplateFileItems(QMenu* fileMenu)
{
    newTemplateItem = fileMenu->addAction("New Template");
    newTemplateItem->setObjectName("newTemplateItem");
    newTemplateItem->setShortcut(QKeySequence(Qt::ControlModifier | Qt::Key_N));
    connectHandler(newTemplateItem, &TAppForm::newTemplateClick);
    openTemplateItem = fileMenu->addAction("Open Template...");
    openTemplateItem->setObjectName("openTemplateItem");
    openTemplateItem->setShortcut(QKeySequence(Qt::ControlModifier | Qt::Key_O));
    connectHandler(openTemplateItem, &TAppForm::openTemplateClick);
    saveTemplateInPlaceItem = fileMenu->addAction("Save Template");
    saveTemplateInPlaceItem->setObjectName("saveTemplateInPlaceItem");
    saveTemplateInPlaceItem->setShortcut(QKeySequence(Qt::ControlModifier | Qt::Key_S));
    connectHandler(saveTemplateInPlaceItem, &TAppForm::saveTemplateClick);
    saveTemplateItem = fileMenu->addAction("Save Template As...");
    saveTemplateItem->setObjectName("saveTemplateItem");
    saveTemplateItem->setShortcut(QKeySequence(Qt::ControlModifier | Qt::ShiftModifier | Qt::Key_S));
    connectHandler(saveTemplateItem, &TAppForm::saveTemplateAsClick);
    fileMenu->addSeparator();
    buildRecentFilesMenu(fileMenu);
    fileMenu->addSeparator();
}

// Undo and redo act on the template, from either page. A text field with
// the focus keeps Ctrl+Z for its own text (the list's editor, a
// destination box); the Advanced page's editors hand it on.
void TAppForm::buildEditMenu()
{
    QMenu* editMenu = menuBar()->addMenu("&Edit");
    editMenu->setObjectName("editMenu");
    undoItem = editMenu->addAction("Undo");
    undoItem->setObjectName("undoItem");
    undoItem->setShortcut(QKeySequence(Qt::ControlModifier | Qt::Key_Z));
    connectHandler(undoItem, &TAppForm::undoClick);
    redoItem = editMenu->addAction("Redo");
    redoItem->setObjectName("redoItem");
    redoItem->setShortcuts({QKeySequence(Qt::ControlModifier | Qt::ShiftModifier | Qt::Key_Z),
                            QKeySequence(Qt::ControlModifier | Qt::Key_Y)});
    connectHandler(redoItem, &TAppForm::redoClick);
}

// The items name the step they would take back or take again, and are off
// while there is none or while the Advanced run uses the template.
void TAppForm::updateEditItems()
{
    const QUndoStack& steps = templateSession_->history().stack();
    undoItem->setEnabled(steps.canUndo() && !templateRunning_);
    redoItem->setEnabled(steps.canRedo() && !templateRunning_);
    undoItem->setStatusTip(steps.canUndo() ? "Undo " + steps.undoText() : QString());
    redoItem->setStatusTip(steps.canRedo() ? "Redo " + steps.redoText() : QString());
    undoItem->setToolTip(undoItem->statusTip());
    redoItem->setToolTip(redoItem->statusTip());
    for (QAction* item : {newTemplateItem, openTemplateItem, saveTemplateInPlaceItem, saveTemplateItem})
        item->setEnabled(!templateRunning_);
}

QAction* TAppForm::addFormatItem(QMenu* menu, QActionGroup* group, const QString& caption,
                                 void (TAppForm::*handler)())
{
    QAction* item = menu->addAction(caption);
    item->setCheckable(true);
    group->addAction(item);
    connectHandler(item, handler);
    return item;
}

void TAppForm::buildTextList()
{
    PanelList = new QWidget(Splitter1);
    PanelList->setObjectName("PanelList");
    // The button row spans the panel; only the list keeps margins.
    auto* layout = new QVBoxLayout(PanelList);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    Panel3 = new QWidget(PanelList);
    Panel3->setObjectName("Panel3");
    Panel3->setFixedHeight(30);
    Button1 = makeIconButton(Panel3, "clear", "Clear list", 2);
    Button2 = makeIconButton(Panel3, "open", "Open list...", 28);
    Button3 = makeIconButton(Panel3, "save", "Save list...", 54);
    connect(Button1, &QToolButton::clicked, this, guard_.slot(this, &TAppForm::Button1Click));
    connect(Button2, &QToolButton::clicked, this, guard_.slot(this, &TAppForm::Button2Click));
    connect(Button3, &QToolButton::clicked, this, guard_.slot(this, &TAppForm::Button3Click));
    // However narrow the splitter makes the list, its buttons stay whole.
    Panel3->setMinimumWidth(Button3->geometry().right() + 3);
    layout->addWidget(Panel3);

    MemoList = new TextListEdit(PanelList);
    MemoList->setObjectName("MemoList");
    MemoList->setLineWrapMode(QPlainTextEdit::NoWrap);
    MemoList->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    MemoList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The list takes no tabs: Tab and Shift+Tab move on, as the design's
    // list does, so no tab character reaches a saved list or an image.
    MemoList->setTabChangesFocus(true);
    MemoList->setAccessibleName("Text list");
    MemoList->setPlainText(sampleListText());
    auto* listRow = new QHBoxLayout;
    listRow->setContentsMargins(3, 0, 0, 3);
    listRow->addWidget(MemoList);
    layout->addLayout(listRow);
    Splitter1->addWidget(PanelList);
}

void TAppForm::buildPages()
{
    auto* holder = new QWidget(Splitter1);
    auto* layout = new QVBoxLayout(holder);
    layout->setContentsMargins(0, 3, 3, 2);
    PageControl1 = new QTabWidget(holder);
    PageControl1->setObjectName("PageControl1");
    PageControl1->setAccessibleName("Pages");
    layout->addWidget(PageControl1);
    Splitter1->addWidget(holder);
    Splitter1->setStretchFactor(1, 1);

    buildSimplePage();
    buildAdvancedPage();
    PageControl1->setCurrentWidget(TabSheet1);
}

void TAppForm::buildSimplePage()
{
    simplePage = new SimplePage(pageRun_, guard_, *MemoList, FontDialog1);
    TabSheet1 = simplePage;
    PageControl1->addTab(TabSheet1, "Simple");
    ComboBoxDestination1 = simplePage->ComboBoxDestination1;
    ButtonBrowse = simplePage->ButtonBrowse;
    Shape2 = simplePage->Shape2;
    Button5 = simplePage->Button5;
    SpinEdit5 = simplePage->SpinEdit5;
    SpinEdit6 = simplePage->SpinEdit6;
    SpinEdit7 = simplePage->SpinEdit7;
    SpinEdit8 = simplePage->SpinEdit8;
    Button4 = simplePage->Button4;
    preview = simplePage->preview;
}

void TAppForm::buildAdvancedPage()
{
    templatePage = new TemplatePage(*templateSession_, services_.dialogs, services_.messageBoxes);
    TabSheet2 = templatePage;
    PageControl1->addTab(TabSheet2, "Advanced");
    ComboBoxDestination2 = templatePage->ComboBoxDestination2;
    templatePage->Button7->setIcon(uiIcon("folder"));
    templatePage->Button8->setIcon(uiIcon("folder"));
    templatePage->ButtonFont->setIcon(uiIcon("font"));
    connect(templatePage->Button6, &QPushButton::clicked, this, guard_.slot(this, &TAppForm::Button6Click));
    connect(templatePage->Button7, &QPushButton::clicked, this, guard_.slot(this, &TAppForm::Button7Click));
    connect(templatePage->ButtonFont, &QPushButton::clicked, this, guard_.slot(this, &TAppForm::ButtonFontClick));
    templatePage->createFirstLayerWhenShown(this);
    QUndoStack& steps = templateSession_->history().stack();
    connect(&steps, &QUndoStack::indexChanged, this, &TAppForm::updateEditItems);
    connect(&steps, &QUndoStack::cleanChanged, this, &TAppForm::updateEditItems);
    connect(&steps, &QUndoStack::cleanChanged, this, &TAppForm::showTemplateInTitle);
    updateEditItems();
}

// Handlers --------------------------------------------------------------

void TAppForm::Exit1Click()
{
    close();
}

void TAppForm::Help2Click()
{
    services_.shell.openUrl(onlineHelpAddress(state_.ServiceBaseAddress, state_.AppProductName));
}

void TAppForm::ResettoDefaults1Click()
{
    if (!services_.messageBoxes.askYesNo(this, "Confirm", "Restart Application?"))
        return;
    // Always the per-user file, even when the settings live beside the executable.
    const QString perUser = perUserDataFolder(services_.specialFolders.roamingAppData(),
                                              state_.AppCompanyName, state_.AppProductName);
    QFile::remove(perUser + "settings.ini");
    // A settings file beside the executable stays: it forgets the pattern.
    if (!readFileNamesKey(state_.SettingsIni).isEmpty()) {
        writeFileNamesKey(state_.SettingsIni, QString());
        state_.SettingsIni.save();
    }
    QCoreApplication::processEvents();
    services_.shell.startDetached(QCoreApplication::applicationFilePath(), {});
    close();
    QCoreApplication::quit();
}

void TAppForm::ButtonBrowseClick() { simplePage->ButtonBrowseClick(); }
void TAppForm::Shape2MouseDown() { simplePage->Shape2MouseDown(); }
void TAppForm::Button5Click() { simplePage->Button5Click(); }
void TAppForm::Button4Click() { simplePage->Button4Click(); }

void TAppForm::selectFormat(QAction* item, ImageFormat format)
{
    item->setChecked(true);
    OutputFormat = format;
}

void TAppForm::PNG1Click() { selectFormat(PNG1, ImageFormat::PNG); }
void TAppForm::WEBP1Click() { selectFormat(WEBP1, ImageFormat::WEBP); }
void TAppForm::JPEG1Click() { selectFormat(JPEG1, ImageFormat::JPEG); }
void TAppForm::IFF1Click() { selectFormat(IFF1, ImageFormat::TIFF); }
void TAppForm::GIF1Click() { selectFormat(GIF1, ImageFormat::GIF); }
void TAppForm::BMP1Click() { selectFormat(BMP1, ImageFormat::BMP); }

void TAppForm::fileNamesClick()
{
    TextRequest request;
    request.title = "File Names";
    request.explanation = QString("The name of each file START writes, without its extension:\n"
                                  "{n} is the line's number, {1}, {2}, ... its fields\n"
                                  "({1} is the whole line with one field per line).\n"
                                  "A name already taken gets \" (2)\", \" (3)\", ... Default: %1")
                              .arg(QString::fromUtf16(FileNamePattern::kDefault));
    request.text = fileNamePattern.text();
    const std::optional<QString> typed = services_.dialogs.askText(this, request);
    if (!typed)
        return;
    // Refused with the reason, the pattern in use stays.
    const FileNamePattern chosen = typed->trimmed().isEmpty() ? FileNamePattern() : FileNamePattern(*typed);
    fileNamePattern = chosen;
    writeFileNamesKey(state_.SettingsIni, chosen.isDefault() ? QString() : chosen.text());
    state_.SettingsIni.save();
}

// A pattern the settings file holds that is no pattern (edited by hand)
// gives the default names.
void TAppForm::restoreFileNamePattern()
{
    const QString stored = readFileNamesKey(state_.SettingsIni);
    if (stored.isEmpty())
        return;
    try {
        fileNamePattern = FileNamePattern(stored);
    } catch (const AppError&) {
        fileNamePattern = FileNamePattern();
    }
}

void TAppForm::About1Click()
{
    // A new window each time, destroyed when it closes.
    TAboutBox aboutBox(state_, translator_, services_, DataFiles::forRunningProgram(), this);
    aboutBox.exec();
}

// Text list ---------------------------------------------------------------

void TAppForm::Button1Click()
{
    MemoList->clear();
}

std::optional<QString> TAppForm::chooseListFile(const QString& title, const QStringList& filters, bool saving)
{
    FileDialogRequest request;
    request.title = title;
    request.nameFilters = filters;
    request.defaultSuffix = "txt";
    request.startFolder = listFolder_.isEmpty() ? QDir::homePath() : listFolder_;
    const auto chosen = saving ? services_.dialogs.saveFile(this, request) : services_.dialogs.openFile(this, request);
    if (chosen)
        listFolder_ = QFileInfo(*chosen).absolutePath();
    return chosen;
}

void TAppForm::Button2Click()
{
    // Any file stays the first choice: every file opens, as text at least.
    const QStringList filters = {"Any File (*)", "Lists and Documents (*.txt *.docx *.doc *.odt)"};
    if (const auto chosen = chooseListFile("Open", filters, false))
        openListFile(*chosen);
}

void TAppForm::DosyaAc(const QString& FileName)
{
    // Filling the editor with a long list takes as long as reading it.
    BusyCursor busy;
    // The list shows a line separator as a line break, so it becomes one.
    fillMemo(*MemoList, withParagraphBreaks(loadTextList(FileName, services_.documents,
                                                         services_.locale.legacyCodePage()),
                                            u"\n"));
}

void TAppForm::Button3Click()
{
    if (const auto chosen = chooseListFile("Save As", {"TXT File (*.txt)", "Any File (*)"}, true))
        saveTextList(*chosen, memoText(*MemoList));
}

// Update check and feedback --------------------------------------------------

void TAppForm::TimerCheckerTimer() { updateCheck_->tick(); }
void TAppForm::UpdateNotifications1Click() { updateCheck_->notificationsSwitched(); }
const UpdateCheckState* TAppForm::updateCheckState() const { return updateCheck_->state(); }
TNewVer* TAppForm::newVersionWindow() const { return updateCheck_->newVersionWindow(); }

void TAppForm::SendFeedback1Click()
{
    FeedbackSetup setup;
    setup.appProductName = state_.AppProductName;
    setup.appTitle = state_.AppTitle;
    setup.appVersion = state_.AppVersion;
    setup.serviceBase = state_.ServiceBaseAddress;
    setup.caBundleFile = services_.tlsTrust.caBundleFile();
    auto* form = new TFeedbackForm(translator_, services_.messageBoxes, services_.beeper, setup, this);
    form->exec();
}

// Advanced page ---------------------------------------------------------------

void TAppForm::Button6Click()
{
    runAndReport(pageRun_, *MemoList, ComboBoxDestination2->currentText(),
                 templateSession_->model().content().fields.format, [this](const LineSource& lines, const LineRunOptions& options) {
                     // The template's menu items wait with the pages while the
                     // run shows its progress; the list stays open to edits,
                     // which the run, working on the list as it was at START,
                     // does not see.
                     templateRunning_ = true;
                     updateEditItems();
                     struct RunEnds {
                         TAppForm& window;
                         ~RunEnds()
                         {
                             window.templateRunning_ = false;
                             window.updateEditItems();
                             window.templatePage->showCurrentLayer();
                         }
                     } runEnds{*this};
                     const LineEncoderFactory encoders = templateSession_->runEncoders(
                         templatePage->canvasSize(), options.format);
                     return templateSession_->run(lines, encoders, options);
                 });
}

void TAppForm::Button7Click()
{
    browseDestinationInto(pageRun_, *ComboBoxDestination2);
}

void TAppForm::ButtonFontClick()
{
    const auto layerFont = templatePage->currentTextLayerFont();
    if (!layerFont)
        return;
    // From here on the Simple page draws in the layer's font, even when the
    // dialog is cancelled: the two pages share one font dialog.
    FontDialog1 = *layerFont;
    simplePage->schedulePreview();
    const auto chosen = services_.dialogs.pickFont(this, FontDialog1);
    if (!chosen)
        return;
    FontDialog1 = *chosen;
    simplePage->schedulePreview();
    templatePage->setCurrentTextLayerFont(*chosen);
    writeFontKeys(state_.SettingsIni, FontDialog1);
    state_.SettingsIni.save();
}

void TAppForm::followListOnTemplatePage()
{
    listFollowTimer_ = new QTimer(this);
    listFollowTimer_->setSingleShot(true);
    listFollowTimer_->setInterval(0);
    connect(listFollowTimer_, &QTimer::timeout, this, [this] {
        templatePage->followList(MemoLineSource(*MemoList), MemoList->textCursor().blockNumber());
    });
    const auto schedule = [this] {
        if (!listFollowTimer_->isActive())
            listFollowTimer_->start();
    };
    connect(MemoList, &QPlainTextEdit::textChanged, this, schedule);
    connect(MemoList, &QPlainTextEdit::cursorPositionChanged, this, schedule);
    schedule();
}

// Shown while the Advanced page is, beside the status bar's messages.
void TAppForm::buildZoomLabel()
{
    zoomLabel = new QLabel(templatePage->zoomText(), StatusBar1);
    zoomLabel->setObjectName("zoomLabel");
    zoomLabel->setAccessibleName("Image size and zoom");
    StatusBar1->addPermanentWidget(zoomLabel);
    zoomLabel->setVisible(PageControl1->currentWidget() == TabSheet2);
    connect(templatePage, &TemplatePage::zoomChanged, zoomLabel, &QLabel::setText);
    connect(PageControl1, &QTabWidget::currentChanged, zoomLabel,
            [this] { zoomLabel->setVisible(PageControl1->currentWidget() == TabSheet2); });
}

// Template files and undo -----------------------------------------------------

FileDialogRequest TAppForm::templateDialog(const QString& title) const
{
    FileDialogRequest request;
    request.title = title;
    request.nameFilters = {kTemplateFilter};
    request.defaultSuffix = kTemplateSuffix;
    request.startFolder = templateFolder_.isEmpty() ? QDir::homePath() : templateFolder_;
    return request;
}

void TAppForm::showAdvancedPage()
{
    PageControl1->setCurrentWidget(TabSheet2);
}

void TAppForm::showTemplateInTitle()
{
    const QString& path = templateSession_->filePath();
    const bool modified = templateSession_->isModified();
    setWindowFilePath(path);
    if (path.isEmpty() && !modified)
        setWindowTitle(state_.AppTitle);
    else
        setWindowTitle(QString("%1[*] - %2")
                           .arg(path.isEmpty() ? QString("Untitled template") : QFileInfo(path).fileName(),
                                state_.AppTitle));
    setWindowModified(modified);
}

bool TAppForm::templateMayBeSetAside()
{
    if (!templateSession_->isModified())
        return true;
    const QString& path = templateSession_->filePath();
    const QString question = path.isEmpty()
                                 ? QString("Save the changes to the template?")
                                 : QString("Save the changes to the template \"%1\"?").arg(QFileInfo(path).fileName());
    switch (services_.messageBoxes.askSaveChanges(this, state_.AppProductName, question)) {
    case SaveChoice::Save: return saveTemplate();
    case SaveChoice::Discard: return true;
    case SaveChoice::Cancel: return false;
    }
    return false;
}

void TAppForm::closeEvent(QCloseEvent* event)
{
    bool mayClose = false;
    guard_.run([this, &mayClose] { mayClose = templateMayBeSetAside(); });
    if (!mayClose) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

void TAppForm::newTemplateClick()
{
    if (!templateMayBeSetAside())
        return;
    templatePage->startNewTemplate();
    showAdvancedPage();
    showTemplateInTitle();
}

void TAppForm::openTemplateClick()
{
    if (!templateMayBeSetAside())
        return;
    const auto chosen = services_.dialogs.openFile(this, templateDialog("Open Template"));
    if (chosen)
        loadTemplateFile(*chosen);
}

void TAppForm::loadTemplateFile(const QString& path)
{
    templateFolder_ = QFileInfo(path).absolutePath();
    {
        BusyCursor busy;
        templateSession_->open(path);
    }
    showTemplateInTitle();
    showAdvancedPage();
    const QSize canvas = templateSession_->runCanvasSize(templatePage->canvasSize());
    StatusBar1->showMessage(QString("Template %1: images of %2 × %3 pixels")
                                .arg(QFileInfo(path).fileName())
                                .arg(canvas.width())
                                .arg(canvas.height()));
    recentFiles->remember(path);
}

void TAppForm::saveTemplateClick()
{
    saveTemplate();
}

void TAppForm::saveTemplateAsClick()
{
    saveTemplateAs();
}

bool TAppForm::saveTemplate()
{
    const QString path = templateSession_->filePath();
    if (path.isEmpty())
        return saveTemplateAs();
    {
        BusyCursor busy;
        templateSession_->save(path, templatePage->canvasSize());
    }
    showTemplateInTitle();
    return true;
}

bool TAppForm::saveTemplateAs()
{
    const auto chosen = services_.dialogs.saveFile(this, templateDialog("Save Template As"));
    if (!chosen)
        return false;
    templateFolder_ = QFileInfo(*chosen).absolutePath();
    {
        BusyCursor busy;
        templateSession_->save(*chosen, templatePage->canvasSize());
    }
    showTemplateInTitle();
    return true;
}

// The page shows what was taken back, whichever page was open.
void TAppForm::undoClick()
{
    showAdvancedPage();
    templateSession_->history().undo();
}

void TAppForm::redoClick()
{
    showAdvancedPage();
    templateSession_->history().redo();
}

// Files from the desktop -------------------------------------------------------

void TAppForm::buildRecentFilesMenu(QMenu* fileMenu)
{
    recentFiles = new RecentFilesMenu(*fileMenu, state_.SettingsIni, guard_, [this](const QString& path) {
        // A list may carry any extension (its dialog opens every file); only
        // a template's is its own.
        if (desktopFileKind(path) == DesktopFileKind::Template)
            openTemplateFile(path);
        else
            openListFile(path);
    });
}

// The list's editor would take a dropped file's address as text, so files
// are caught on its viewport; the rest of the window takes them too. A
// picture dropped on the Advanced page's canvas is the page's own.
void TAppForm::acceptDroppedFiles()
{
    const auto open = [this](const QStringList& paths) { guard_.run([this, &paths] { openFiles(paths); }); };
    FileDropTarget::install(*MemoList->viewport(), open);
    FileDropTarget::install(*this, open);
}

void TAppForm::openListFile(const QString& path)
{
    DosyaAc(path);
    listFolder_ = QFileInfo(path).absolutePath();
    recentFiles->remember(path);
}

void TAppForm::openTemplateFile(const QString& path)
{
    if (templateMayBeSetAside())
        loadTemplateFile(path);
}

// One file failing leaves the other to open: each is run and reported on
// its own. The list keeps its content when its file cannot be read.
void TAppForm::openFiles(const QStringList& paths)
{
    const FilesToOpen files = sortFilesToOpen(paths);
    if (!files.list.isEmpty())
        guard_.run([this, &files] { openListFile(files.list); });
    if (!files.templateFile.isEmpty())
        guard_.run([this, &files] { openTemplateFile(files.templateFile); });
    if (!files.notOpened.isEmpty()) {
        QStringList names;
        for (const QString& path : files.notOpened)
            names << QFileInfo(path).fileName();
        StatusBar1->showMessage(
            QString("One list and one template open at a time; not opened: %1").arg(names.join(", ")));
    }
    if (!files.notOpenable.isEmpty())
        guard_.showError(notOpenableMessage(files.notOpenable));
}

} // namespace pennolux
