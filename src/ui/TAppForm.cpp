#include "TAppForm.h"

#include <QAction>
#include <QActionGroup>
#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QDir>
#include <QFileInfo>
#include <QShortcut>
#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QUndoStack>
#include <QToolButton>
#include <QThread>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/widgets/ColorSwatch.h"
#include "app/ApplicationState.h"
#include "app/DataFiles.h"
#include "app/settings/DataFolder.h"
#include "platform/fonts/DesignFont.h"
#include "app/settings/FontKeys.h"
#include "app/web/OnlineHelp.h"
#include "editor/file/TemplateFile.h"
#include "editor/session/TemplateSession.h"
#include "editor/widgets/RunProgress.h"
#include "editor/widgets/TemplateCanvas.h"
#include "editor/widgets/TemplatePage.h"
#include "localisation/Translator.h"
#include "MarginField.h"
#include "MemoFill.h"
#include "MemoLineSource.h"
#include "PreviewPanel.h"
#include "platform/BusyCursor.h"
#include "platform/text/ColorValue.h"
#include "platform/documents/DocumentImport.h"
#include "platform/desktop/Locale.h"
#include "production/linerun/LineRun.h"
#include "production/simplerun/SimplePreview.h"
#include "production/simplerun/SimpleRun.h"
#include "production/textlist/TextListFile.h"
#include "platform/MessageBoxes.h"
#include "platform/desktop/Shell.h"
#include "platform/desktop/SpecialFolders.h"
#include "platform/desktop/TlsTrust.h"
#include "services/check/TChecker.h"
#include "services/check/UiThreadNotice.h"
#include "services/check/UpdateCheckState.h"
#include "services/widgets/TFeedbackForm.h"
#include "services/widgets/TNewVer.h"
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
constexpr int kMarginMaximum = 999999999;
// The preview's corner, under START, and its distance from the page's edges.
constexpr int kPreviewLeft = 8;
constexpr int kPreviewTop = 240;
constexpr int kPreviewMargin = 8;

// A margin field whose text is not a whole number counts as 0.
int marginOf(const QSpinBox* field)
{
    bool whole = false;
    const int value = field->cleanText().toInt(&whole);
    return whole ? std::clamp(value, 0, kMarginMaximum) : 0;
}

// Enter presses a focused push button as Space does, as on the design's
// platform; Qt's buttons take Enter only inside dialogs.
void pressWithEnter(QPushButton* button)
{
    button->setAutoDefault(true);
}

// The caption names its field for screen readers and moves the focus to it.
// An editable box's own parts (its text and its list) carry the name too, as
// a screen reader may land on them.
void labelField(QLabel* caption, QWidget* field)
{
    caption->setBuddy(field);
    if (auto* box = qobject_cast<QComboBox*>(field)) {
        if (box->lineEdit())
            box->lineEdit()->setAccessibleName(caption->text());
        box->view()->setAccessibleName(caption->text());
    }
}

// The twelve sample addresses the list shows at every start; the same file
// feeds the batch tool when scripts/run finds no display. The built-in copy
// stands in when the data folder lacks it.
QString sampleListText()
{
    const QString installed = DataFiles::forRunningProgram().findFile(QStringLiteral("sample-list.txt"));
    QFile sample(installed.isEmpty() ? QStringLiteral(":/sample-list.txt") : installed);
    return sample.open(QIODevice::ReadOnly) ? QString::fromUtf8(sample.readAll()) : QString();
}

QIcon icon(const char* name)
{
    return QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(name)));
}

QToolButton* makeIconButton(QWidget* parent, const char* iconName, const QString& name, int left)
{
    auto* button = new QToolButton(parent);
    button->setIcon(icon(iconName));
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
    : QMainWindow(parent), state_(state), translator_(translator), services_(services),
      guard_(services.messageBoxes, this), templateSession_(std::make_unique<TemplateSession>())
{
    initialiseIconResources();
    setObjectName("AppForm");
    setFont(designFont(8));
    setWindowIcon(icon("pennolux"));
    setWindowTitle(state_.AppTitle);

    FontDialog1 = {designFont(8), colors::clWindowText};

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
    setCentralWidget(central);
    buildTextList();
    buildPages();
    Splitter1->setSizes({kListPanelWidth, kClientWidth - kListPanelWidth - Splitter1->handleWidth()});

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName("StatusBar1");
    StatusBar1->setFixedHeight(kStatusBarHeight);
    setStatusBar(StatusBar1);

#if PENNOLUX_UPDATE_CHECK
    TimerChecker = new QTimer(this);
    TimerChecker->setObjectName("TimerChecker");
    TimerChecker->setInterval(1000);
    connect(TimerChecker, &QTimer::timeout, this, guard_.slot(this, &TAppForm::TimerCheckerTimer));
    TimerChecker->start();
#endif

    ComboBoxDestination1->setEditText(state_.BrowseFolder);
    ComboBoxDestination2->setEditText(state_.BrowseFolder);

    // The list is what a user comes to edit; typing goes there first.
    MemoList->setFocus(Qt::OtherFocusReason);
    resize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
    centreOnScreen();
}

TAppForm::~TAppForm()
{
    // The window's widgets would go after its members: the page goes now,
    // while the session it shows is still there.
    delete templatePage;
}

void TAppForm::reportStartupErrors(const QStringList& errors)
{
    for (const QString& error : errors)
        guard_.showError(error);
}

void TAppForm::centreOnScreen()
{
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(), size());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
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
    Exit1 = fileMenu->addAction(icon("exit"), "Exit");
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
    settingsMenu->addSeparator();
    ResettoDefaults1 = settingsMenu->addAction("Reset to Defaults...");
    connectHandler(ResettoDefaults1, &TAppForm::ResettoDefaults1Click);

    QMenu* helpMenu = menuBar()->addMenu("&Help");
    Help2 = helpMenu->addAction(icon("help"), "Online Help");
    Help2->setShortcut(QKeySequence(Qt::Key_F1));
    Help2->setShortcutContext(Qt::ApplicationShortcut);
    connectHandler(Help2, &TAppForm::Help2Click);
#if PENNOLUX_UPDATE_CHECK
    helpMenu->addSeparator();
    UpdateNotifications1 = helpMenu->addAction("Update Notifications");
    UpdateNotifications1->setCheckable(true);
    UpdateNotifications1->setChecked(true);
    UpdateNotifications1->setEnabled(false);
    connectHandler(UpdateNotifications1, &TAppForm::UpdateNotifications1Click);
#endif
    helpMenu->addSeparator();
    SendFeedback1 = helpMenu->addAction(icon("feedback"), "Send Feedback...");
    connectHandler(SendFeedback1, &TAppForm::SendFeedback1Click);
    About1 = helpMenu->addAction(icon("about"), "About...");
    connectHandler(About1, &TAppForm::About1Click);
}

// Ctrl+O and Ctrl+Shift+S work wherever the focus is, as the list's own
// editor claims neither.
void TAppForm::addTemplateFileItems(QMenu* fileMenu)
{
    openTemplateItem = fileMenu->addAction("Open Template...");
    openTemplateItem->setObjectName("openTemplateItem");
    openTemplateItem->setShortcut(QKeySequence(Qt::ControlModifier | Qt::Key_O));
    connectHandler(openTemplateItem, &TAppForm::openTemplateClick);
    saveTemplateItem = fileMenu->addAction("Save Template As...");
    saveTemplateItem->setObjectName("saveTemplateItem");
    saveTemplateItem->setShortcut(QKeySequence(Qt::ControlModifier | Qt::ShiftModifier | Qt::Key_S));
    connectHandler(saveTemplateItem, &TAppForm::saveTemplateAsClick);
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
    openTemplateItem->setEnabled(!templateRunning_);
    saveTemplateItem->setEnabled(!templateRunning_);
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
    layout->addWidget(Panel3);

    MemoList = new QPlainTextEdit(PanelList);
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

QLabel* TAppForm::addLabel(QWidget* page, const QString& caption, int left, int top)
{
    auto* label = new QLabel(caption, page);
    label->setTextFormat(Qt::PlainText);
    label->move(left, top);
    label->adjustSize();
    return label;
}

// An editable box without list entries: any text is accepted as the folder.
QComboBox* TAppForm::addDestinationBox(QWidget* page, const QString& name)
{
    auto* box = new QComboBox(page);
    box->setObjectName(name);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setGeometry(113, 6, 214, 21);
    return box;
}

QSpinBox* TAppForm::addMarginField(QWidget* page, int top)
{
    auto* field = new MarginField(page);
    field->setRange(0, kMarginMaximum);
    field->setValue(1);
    field->setGeometry(113, top, 214, 22);
    return field;
}

void TAppForm::buildSimplePage()
{
    TabSheet1 = new QWidget;
    TabSheet1->setObjectName("TabSheet1");
    PageControl1->addTab(TabSheet1, "Simple");
    QWidget* page = TabSheet1;

    QLabel* destinationCaption = addLabel(page, "Destination:", 8, 10);
    ComboBoxDestination1 = addDestinationBox(page, "ComboBoxDestination1");
    labelField(destinationCaption, ComboBoxDestination1);
    ButtonBrowse = new QPushButton(icon("folder"), "Browse...", page);
    ButtonBrowse->setObjectName("ButtonBrowse");
    ButtonBrowse->setGeometry(333, 4, 134, 25);
    connect(ButtonBrowse, &QPushButton::clicked, this, guard_.slot(this, &TAppForm::ButtonBrowseClick));

    addLabel(page, "Background Color:", 8, 39);
    Shape2 = new ColorSwatch(page);
    Shape2->setObjectName("Shape2");
    Shape2->setAccessibleName("Background colour");
    Shape2->setGeometry(113, 33, 25, 25);
    Shape2->setFillColor(colors::clSkyBlue.resolve());
    connect(Shape2, &ColorSwatch::mousePressed, this, guard_.slot(this, &TAppForm::Shape2MouseDown));

    addLabel(page, "Font:", 8, 71);
    Button5 = new QPushButton(icon("font"), "Change Font...", page);
    Button5->setObjectName("Button5");
    Button5->setGeometry(113, 64, 214, 25);
    connect(Button5, &QPushButton::clicked, this, guard_.slot(this, &TAppForm::Button5Click));

    SpinEdit5 = addMarginField(page, 95);
    labelField(addLabel(page, "Margin (Left):", 8, 99), SpinEdit5);
    SpinEdit6 = addMarginField(page, 123);
    labelField(addLabel(page, "Margin (Right):", 8, 127), SpinEdit6);
    SpinEdit7 = addMarginField(page, 151);
    labelField(addLabel(page, "Margin (Top):", 8, 155), SpinEdit7);
    SpinEdit8 = addMarginField(page, 179);
    labelField(addLabel(page, "Margin (Bottom):", 8, 183), SpinEdit8);
    SpinEdit5->setObjectName("SpinEdit5");
    SpinEdit6->setObjectName("SpinEdit6");
    SpinEdit7->setObjectName("SpinEdit7");
    SpinEdit8->setObjectName("SpinEdit8");

    Button4 = new QPushButton("START", page);
    Button4->setObjectName("Button4");
    QFont startFont = designFont(10);
    startFont.setBold(true);
    Button4->setFont(startFont);
    Button4->setGeometry(113, 206, 214, 25);
    connect(Button4, &QPushButton::clicked, this, guard_.slot(this, &TAppForm::Button4Click));

    for (QPushButton* button : {ButtonBrowse, Button5, Button4})
        pressWithEnter(button);

    // The swatch, which the design reached by mouse only, takes its place in
    // the order after the folder it sits under.
    QWidget* tabOrder[] = {ComboBoxDestination1, ButtonBrowse, Shape2, Button5, SpinEdit5,
                           SpinEdit6, SpinEdit7, SpinEdit8, Button4};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);

    buildPreview(page);
}

// The preview fills the page's free space below the designed controls and
// follows the page's size; no designed control moves.
void TAppForm::buildPreview(QWidget* page)
{
    preview = new PreviewPanel(page);
    page->installEventFilter(this);
    previewTimer_ = new QTimer(this);
    previewTimer_->setSingleShot(true);
    previewTimer_->setInterval(0);
    connect(previewTimer_, &QTimer::timeout, this, &TAppForm::updatePreview);
    connect(MemoList, &QPlainTextEdit::textChanged, this, &TAppForm::schedulePreview);
    connect(MemoList, &QPlainTextEdit::cursorPositionChanged, this, &TAppForm::schedulePreview);
    for (QSpinBox* margin : {SpinEdit5, SpinEdit6, SpinEdit7, SpinEdit8})
        connect(margin, &QSpinBox::textChanged, this, &TAppForm::schedulePreview);
    schedulePreview();
}

bool TAppForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == TabSheet1 && event->type() == QEvent::Resize)
        preview->setGeometry(kPreviewLeft, kPreviewTop, std::max(0, TabSheet1->width() - kPreviewLeft - kPreviewMargin),
                             std::max(0, TabSheet1->height() - kPreviewTop - kPreviewMargin));
    return QMainWindow::eventFilter(watched, event);
}

void TAppForm::buildAdvancedPage()
{
    templatePage = new TemplatePage(*templateSession_, services_.dialogs, services_.messageBoxes);
    TabSheet2 = templatePage;
    PageControl1->addTab(TabSheet2, "Advanced");
    ComboBoxDestination2 = templatePage->ComboBoxDestination2;
    templatePage->Button7->setIcon(icon("folder"));
    templatePage->Button8->setIcon(icon("folder"));
    templatePage->ButtonFont->setIcon(icon("font"));
    connect(templatePage->Button6, &QPushButton::clicked, this, guard_.slot(this, &TAppForm::Button6Click));
    connect(templatePage->Button7, &QPushButton::clicked, this, guard_.slot(this, &TAppForm::Button7Click));
    connect(templatePage->ButtonFont, &QPushButton::clicked, this, guard_.slot(this, &TAppForm::ButtonFontClick));
    templatePage->createFirstLayerWhenShown(this);
    QUndoStack& steps = templateSession_->history().stack();
    connect(&steps, &QUndoStack::indexChanged, this, &TAppForm::updateEditItems);
    connect(&steps, &QUndoStack::cleanChanged, this, &TAppForm::updateEditItems);
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
    QCoreApplication::processEvents();
    services_.shell.startDetached(QCoreApplication::applicationFilePath(), {});
    close();
    QCoreApplication::quit();
}

void TAppForm::browseDestinationInto(QComboBox* destination)
{
    const auto chosen = services_.dialogs.pickFolder(this, "Select folder:", "Select", state_.BrowseFolder);
    if (!chosen)
        return;
    state_.BrowseFolder = *chosen;
    destination->setEditText(*chosen);
}

void TAppForm::ButtonBrowseClick()
{
    browseDestinationInto(ComboBoxDestination1);
}

void TAppForm::Shape2MouseDown()
{
    const auto chosen = services_.dialogs.pickColor(this, Shape2->fillColor());
    if (chosen) {
        Shape2->setFillColor(*chosen);
        schedulePreview();
    }
}

void TAppForm::Button5Click()
{
    const auto chosen = services_.dialogs.pickFont(this, FontDialog1);
    if (!chosen)
        return;
    FontDialog1 = *chosen;
    schedulePreview();
    writeFontKeys(state_.SettingsIni, FontDialog1);
    state_.SettingsIni.save();
}

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
    if (const auto chosen = chooseListFile("Open", {"Any File (*)"}, false))
        DosyaAc(*chosen);
}

void TAppForm::DosyaAc(const QString& FileName)
{
    // Filling the editor with a long list takes as long as reading it.
    BusyCursor busy;
    fillMemo(*MemoList, loadTextList(FileName, services_.documents, services_.locale.legacyCodePage()));
}

void TAppForm::Button3Click()
{
    if (const auto chosen = chooseListFile("Save As", {"TXT File (*.txt)", "Any File (*)"}, true))
        saveTextList(*chosen, memoText(*MemoList));
}

// Simple run ----------------------------------------------------------------

// What the Simple page's controls ask for, read afresh: START and the
// preview draw from this one reading.
SimpleLook TAppForm::simpleLook() const
{
    SimpleLook look;
    look.left = marginOf(SpinEdit5);
    look.right = marginOf(SpinEdit6);
    look.top = marginOf(SpinEdit7);
    look.bottom = marginOf(SpinEdit8);
    look.background = Shape2->fillColor();
    look.font = FontDialog1.font;
    look.textColor = FontDialog1.color.resolve(palette());
    return look;
}

void TAppForm::schedulePreview()
{
    // Every change of one event loop pass is drawn once, before the next frame.
    if (!previewTimer_->isActive())
        previewTimer_->start();
}

void TAppForm::updatePreview()
{
    const MemoLineSource lines(*MemoList);
    const std::optional<PreviewLine> line = previewLine(lines, MemoList->textCursor().blockNumber());
    if (!line) {
        preview->showMessage("The list is empty");
        return;
    }
    const SimpleLook look = simpleLook();
    if (!previewFont_ || previewFont_->source() != look.font)
        previewFont_.emplace(look.font);
    const SimplePreview rendered = renderSimplePreview(*line, look, *previewFont_);
    if (rendered.image.isNull())
        preview->showMessage(rendered.error);
    else
        preview->showImage(rendered.image, line->text);
}

void TAppForm::Button4Click()
{
    const SimpleLook look = simpleLook();
    LineRunOptions options;
    options.destination = ComboBoxDestination1->currentText();
    options.format = OutputFormat;
    options.threads = QThread::idealThreadCount();
    LineRunResult result;
    {
        BusyCursor busy;
        result = runLines(MemoLineSource(*MemoList), simpleLineEncoders(look, OutputFormat), options);
    }
    if (result.linesSeen > 0)
        services_.messageBoxes.show(this, translator_.Translate("SUCCESS"),
                                    QString("Saved %1 image file(s)").arg(result.made), MessageIcon::Information);
}

// Update check and feedback --------------------------------------------------

TNewVer* TAppForm::newVersionWindow() const
{
    return newVersionWindow_;
}

void TAppForm::startUpdateCheck()
{
#if PENNOLUX_UPDATE_CHECK
    const QString roaming = services_.specialFolders.roamingAppData();
    UpdateCheckInputs inputs;
    inputs.appTitle = state_.AppTitle;
    inputs.appVersion = state_.AppVersion;
    inputs.serviceBase = state_.ServiceBaseAddress;
    inputs.storeFolder = roaming.isEmpty() ? QString()
                                           : perUserDataFolder(roaming, state_.AppCompanyName, state_.AppProductName);
    inputs.importantTitle = translator_.Translate("IMPORTANT");
    inputs.caBundleFile = services_.tlsTrust.caBundleFile();
    checkState_ = std::make_shared<UpdateCheckState>();
    importantNotice_ = std::make_unique<UiThreadNotice>(services_.messageBoxes, this);
    checker_ = std::make_unique<TChecker>(
        inputs,
        UpdateCheckPlatform{services_.machineIdentity, services_.systemInfo, services_.locale, services_.clock,
                            *importantNotice_},
        checkState_);
    checker_->start();
#endif
}

void TAppForm::TimerCheckerTimer()
{
#if PENNOLUX_UPDATE_CHECK
    if (!CheckerStarted) {
        CheckerStarted = true;
        startUpdateCheck();
        return;
    }
    if (!checkState_->CheckFinished.load(std::memory_order_acquire))
        return;
    TimerChecker->stop();
    UpdateNotifications1->setEnabled(true);
    if (checkState_->showUpdateSetting == 0)
        UpdateNotifications1->setChecked(false);
    if (checkState_->ShowUpdateWindow && !newVersionWindow_) {
        NewVersionOffer offer{state_.AppProductName, checkState_->ServerVersion, checkState_->DownloadLink,
                              state_.ServiceBaseAddress, windowIcon()};
        newVersionWindow_ = new TNewVer(translator_, services_.shell, offer, this);
    }
#endif
}

// Qt has already moved the check mark when the item is triggered; the store
// follows it, through the file the check opened. Takes effect at the next start.
void TAppForm::UpdateNotifications1Click()
{
#if PENNOLUX_UPDATE_CHECK
    if (checkState_)
        checkState_->store.write("ShowUpdate", UpdateNotifications1->isChecked() ? "1" : "0");
#endif
}

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
    LineRunOptions options;
    options.destination = ComboBoxDestination2->currentText();
    options.format = OutputFormat;
    options.threads = QThread::idealThreadCount();
    LineRunResult result;
    {
        BusyCursor busy;
        // The pages and the template's menu items wait while the run shows
        // its progress; the list stays open to edits, and the run reads its
        // count afresh for every line.
        RunProgress progress(*StatusBar1, {PageControl1});
        templateRunning_ = true;
        updateEditItems();
        struct RunEnds {
            TAppForm& window;
            ~RunEnds()
            {
                window.templateRunning_ = false;
                window.updateEditItems();
            }
        } runEnds{*this};
        options.progress = [&progress](int linesSeen, int lineCount) {
            return progress.lineDone(linesSeen, lineCount);
        };
        const LineEncoderFactory encoders =
            templateSession_->runEncoders(templatePage->Panel9->palette(), templatePage->canvasSize(), options.format);
        result = templateSession_->run(MemoLineSource(*MemoList), encoders, options);
    }
    // Closing the window stops the run; the summary would have no window.
    if (result.linesSeen > 0 && isVisible())
        services_.messageBoxes.show(this, translator_.Translate("SUCCESS"),
                                    QString("Saved %1 image file(s)").arg(result.made), MessageIcon::Information);
}

void TAppForm::Button7Click()
{
    browseDestinationInto(ComboBoxDestination2);
}

void TAppForm::ButtonFontClick()
{
    const auto layerFont = templatePage->currentTextLayerFont();
    if (!layerFont)
        return;
    // From here on the Simple page draws in the layer's font, even when the
    // dialog is cancelled: the two pages share one font dialog.
    FontDialog1 = *layerFont;
    schedulePreview();
    const auto chosen = services_.dialogs.pickFont(this, FontDialog1);
    if (!chosen)
        return;
    FontDialog1 = *chosen;
    schedulePreview();
    templatePage->setCurrentTextLayerFont(*chosen);
    writeFontKeys(state_.SettingsIni, FontDialog1);
    state_.SettingsIni.save();
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

void TAppForm::openTemplateClick()
{
    const auto chosen = services_.dialogs.openFile(this, templateDialog("Open Template"));
    if (!chosen)
        return;
    templateFolder_ = QFileInfo(*chosen).absolutePath();
    {
        BusyCursor busy;
        templateSession_->open(*chosen);
    }
    showAdvancedPage();
    const QSize canvas = templateSession_->runCanvasSize(templatePage->canvasSize());
    StatusBar1->showMessage(QString("Template %1: images of %2 × %3 pixels")
                                .arg(QFileInfo(*chosen).fileName())
                                .arg(canvas.width())
                                .arg(canvas.height()));
}

void TAppForm::saveTemplateAsClick()
{
    const auto chosen = services_.dialogs.saveFile(this, templateDialog("Save Template As"));
    if (!chosen)
        return;
    templateFolder_ = QFileInfo(*chosen).absolutePath();
    BusyCursor busy;
    templateSession_->save(*chosen, templatePage->canvasSize());
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

} // namespace pennolux
