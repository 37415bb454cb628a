#include "editor/widgets/TemplatePage.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QAbstractItemView>
#include <QDir>
#include <QEvent>
#include <QKeyEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTextCursor>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "platform/fonts/DesignFont.h"
#include "platform/widgets/FileDrop.h"
#include "editor/background/BackgroundPicture.h"
#include "editor/background/PictureFormats.h"
#include "editor/history/TemplateHistory.h"
#include "editor/session/TemplateSession.h"
#include "platform/widgets/ColorSwatch.h"
#include "editor/widgets/LayerList.h"
#include "editor/widgets/RunProgress.h"
#include "editor/widgets/TemplateCanvas.h"
#include "platform/AppError.h"
#include "platform/BusyCursor.h"
#include "platform/text/TextLines.h"
#include "platform/widgets/FormHelpers.h"
#include "production/fields/ListFields.h"
#include "production/textlist/LineSource.h"
#include "production/writers/ImageSizeLimits.h"

namespace pennolux {

namespace {

constexpr int kTopBarHeight = 89;
constexpr int kLayerColumnWidth = 127;
constexpr int kLayerButtonHeight = 25;
constexpr int kTextRowHeight = 50;
// The bar is 28 high with a margin of 3 on every side.
constexpr int kGeometryBarMargin = 3;
constexpr int kGeometryBarHeight = 28 + 2 * kGeometryBarMargin;
// Qt's tab frame is thinner than the one the page was designed in; these
// margins give the regions their designed sizes (a canvas of 491 x 215 in a
// window of the design size).
constexpr QMargins kPageMargins(2, 1, 2, 2);
constexpr int kFieldWidth = 100;
constexpr int kGeometryRowHeight = 22;
constexpr int kGeometryRowTop = (kGeometryBarHeight - kGeometryRowHeight) / 2;
constexpr int kFieldGap = 8;
constexpr int kLabelGap = 4;
constexpr int kFieldMaximum = 999999;
// The image size's row, right of START.
constexpr int kImageRowLeft = 333;
constexpr int kImageRowTop = 62;
constexpr int kImageRowHeight = 21;
constexpr int kImageFieldWidth = 58;
constexpr int kTimesWidth = 14;
constexpr auto kLargestImageSide = kWorkingImageLimits.maxSide;
// Right of the two Browse... buttons, in the room the bar has there.
constexpr int kFieldsLeft = 473;
constexpr int kFieldsWidth = 140;
// Small enough for any window, large enough that an image always has pixels.
constexpr int kSmallestCanvas = 16;

const QString kDefaultPictureName = QStringLiteral("[Default Image]");
constexpr int kLayerRole = Qt::UserRole;
constexpr int kNumberRole = Qt::UserRole + 1;

// Short enough for the button at the design size; the menu and the
// button's name say it in full.
QString fieldsButtonText(const ListFields& fields)
{
    QString format;
    switch (fields.format) {
    case FieldFormat::OneField: format = fields.headerLine ? QStringLiteral("lines") : QStringLiteral("one per line"); break;
    case FieldFormat::TabSeparated: format = QStringLiteral("tabs"); break;
    case FieldFormat::CommaSeparated: format = QStringLiteral("commas"); break;
    }
    return QStringLiteral("Fields: %1%2").arg(format, fields.headerLine ? QStringLiteral(", header") : QString());
}

QString fieldsSpokenName(const ListFields& fields)
{
    QString format;
    switch (fields.format) {
    case FieldFormat::OneField: format = QStringLiteral("one field per line"); break;
    case FieldFormat::TabSeparated: format = QStringLiteral("tab-separated"); break;
    case FieldFormat::CommaSeparated: format = QStringLiteral("comma-separated"); break;
    }
    return QStringLiteral("Fields: %1%2").arg(format, fields.headerLine ? QStringLiteral(", first line names the fields")
                                                                        : QString());
}

bool isUndoOrRedoKey(const QKeyEvent& key)
{
    return key.matches(QKeySequence::Undo) || key.matches(QKeySequence::Redo) ||
           key.keyCombination() == QKeyCombination(Qt::ControlModifier, Qt::Key_Y) ||
           key.keyCombination() == QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z);
}

void showValue(QSpinBox* field, int value)
{
    field->setValue(std::clamp(value, 0, kFieldMaximum));
}

} // namespace

TemplatePage::TemplatePage(TemplateSession& session, Dialogs& dialogs, MessageBoxes& messageBoxes, QWidget* parent)
    : QWidget(parent), session_(session), model_(session.model()), history_(session.history()), dialogs_(dialogs),
      guard_(messageBoxes, this)
{
    setObjectName("TabSheet2");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(kPageMargins);
    layout->setSpacing(0);
    layout->addWidget(buildTopBar());
    layout->addWidget(buildMiddleBand(), 1);
    layout->addWidget(buildTextRow());
    layout->addWidget(buildGeometryBar());
    setTabOrder();
    keepControlsReachable();
    showFields();
    model_.setListener([this](TemplateChange change, LayerRef layer) { modelChanged(change, layer); });
    // Undo and redo keys reach the window's Edit menu from the page's
    // editors too: their own undo would step back in a field, not in the template.
    QWidget* const editors[] = {Memo1, SpinEdit1, SpinEdit2, SpinEdit3, SpinEdit4};
    for (QWidget* editor : editors) {
        editor->installEventFilter(this);
        for (QLineEdit* part : editor->findChildren<QLineEdit*>())
            part->installEventFilter(this);
    }
    acceptDroppedPictures();
}

TemplatePage::~TemplatePage()
{
    model_.setListener({});
    // The controls go after the page's own members, and call no handler of
    // this half-destroyed page on their way.
    for (QObject* child : findChildren<QObject*>())
        disconnect(child, nullptr, this, nullptr);
}

void TemplatePage::connectHandler(auto* sender, auto signal, void (TemplatePage::*handler)())
{
    connect(sender, signal, this, guard_.slot(this, handler));
}

QWidget* TemplatePage::buildTopBar()
{
    auto* bar = new QWidget(this);
    bar->setFixedHeight(kTopBarHeight);

    ComboBoxDestination2 = addDestinationBox(bar, "ComboBoxDestination2");
    addFieldLabel(bar, "Destination:", ComboBoxDestination2)->move(8, 10);
    Button7 = addPushButton(bar, "Browse...", "Button7");
    Button7->setGeometry(333, 4, 134, 25);
    Button7->setAccessibleName("Browse for the destination folder");

    // Shows which picture the canvas holds; its text is never read back.
    ComboBox2 = new QComboBox(bar);
    ComboBox2->setObjectName("ComboBox2");
    ComboBox2->setEditable(true);
    ComboBox2->setInsertPolicy(QComboBox::NoInsert);
    ComboBox2->lineEdit()->setReadOnly(true);
    ComboBox2->setEditText(kDefaultPictureName);
    ComboBox2->setGeometry(113, 33, 214, 21);
    addFieldLabel(bar, "Background Image:", ComboBox2)->move(8, 37);
    Button8 = addPushButton(bar, "Browse...", "Button8");
    Button8->setGeometry(333, 31, 134, 25);
    Button8->setAccessibleName("Browse for the background image");
    connectHandler(Button8, &QPushButton::clicked, &TemplatePage::Button8Click);
    buildFieldsControls(bar);

    Button6 = addStartButton(bar, "Button6");
    Button6->setGeometry(113, 60, 214, 25);
    buildImageSizeFields(bar);
    return bar;
}

// Beside START, on its row: what START writes is this size.
void TemplatePage::buildImageSizeFields(QWidget* bar)
{
    const auto addSideField = [this, bar](const char* name, const QString& accessibleName, int left) {
        auto* field = new QSpinBox(bar);
        field->setObjectName(name);
        field->setRange(1, int(kLargestImageSide));
        field->setAccessibleName(accessibleName);
        field->setToolTip(accessibleName + QStringLiteral(" in pixels: the size of every image START writes"));
        // Applied when the typing ends (Enter, the focus leaving, an arrow),
        // not at each keystroke: 6 typed on the way to 640 is no size.
        field->setKeyboardTracking(false);
        field->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
        field->setGeometry(left, kImageRowTop, kImageFieldWidth, kImageRowHeight);
        connect(field, &QSpinBox::valueChanged, this, [this] {
            if (fieldsReact_)
                guard_.run([this] { imageSizeEdited(); });
        });
        return field;
    };
    imageWidthField = addSideField("imageWidthField", QStringLiteral("Image width"), kImageRowLeft);
    auto* times = new QLabel(QStringLiteral("×"), bar);
    times->setAlignment(Qt::AlignCenter);
    times->setGeometry(kImageRowLeft + kImageFieldWidth, kImageRowTop, kTimesWidth, kImageRowHeight);
    imageHeightField =
        addSideField("imageHeightField", QStringLiteral("Image height"), kImageRowLeft + kImageFieldWidth + kTimesWidth);
    followWindowBox = new QCheckBox(QStringLiteral("Follow the window"), bar);
    followWindowBox->setObjectName("followWindowBox");
    followWindowBox->setToolTip(QStringLiteral("The image takes the canvas's size as the window is resized"));
    followWindowBox->adjustSize();
    followWindowBox->move(kImageRowLeft + 2 * kImageFieldWidth + kTimesWidth + kFieldGap,
                          kImageRowTop + (kImageRowHeight - followWindowBox->height()) / 2);
    connect(followWindowBox, &QCheckBox::clicked, this,
            [this](bool follow) { guard_.run([this, follow] { followWindowClicked(follow); }); });
}

void TemplatePage::buildFieldsControls(QWidget* bar)
{
    fieldsButton = new QToolButton(bar);
    fieldsButton->setObjectName("fieldsButton");
    fieldsButton->setPopupMode(QToolButton::InstantPopup);
    fieldsButton->setToolButtonStyle(Qt::ToolButtonTextOnly);
    fieldsButton->setFocusPolicy(Qt::StrongFocus);
    fieldsButton->setToolTip(QStringLiteral("How START reads each list line: field 1 into Text 1, field 2 into Text 2, ..."));
    fieldsButton->setGeometry(kFieldsLeft, 4, kFieldsWidth, 25);
    fieldsMenu = new QMenu(fieldsButton);
    fieldsMenu->setObjectName("fieldsMenu");
    fieldsMenu->setAccessibleName(QStringLiteral("Fields"));
    auto* formats = new QActionGroup(fieldsMenu);
    formats->setExclusive(true);
    const auto addFormat = [this, formats](const QString& caption) {
        QAction* item = fieldsMenu->addAction(caption);
        item->setCheckable(true);
        formats->addAction(item);
        connect(item, &QAction::triggered, this, [this] { guard_.run([this] { fieldsChosen(); }); });
        return item;
    };
    oneFieldItem = addFormat(QStringLiteral("One Field per Line"));
    tabFieldsItem = addFormat(QStringLiteral("Tab-Separated Fields"));
    commaFieldsItem = addFormat(QStringLiteral("Comma-Separated Fields"));
    fieldsMenu->addSeparator();
    headerLineItem = fieldsMenu->addAction(QStringLiteral("First Line Names the Fields"));
    headerLineItem->setCheckable(true);
    connect(headerLineItem, &QAction::triggered, this, [this] { guard_.run([this] { fieldsChosen(); }); });
    fieldsButton->setMenu(fieldsMenu);

    previewLineBox = new QCheckBox(QStringLiteral("Preview line"), bar);
    previewLineBox->setObjectName("previewLineBox");
    previewLineBox->setToolTip(
        QStringLiteral("The canvas shows the list's line under the cursor as START writes it"));
    previewLineBox->adjustSize();
    previewLineBox->move(kFieldsLeft + 2, 31 + (25 - previewLineBox->height()) / 2);
    connect(previewLineBox, &QCheckBox::toggled, this, [this] { guard_.run([this] { showListLine(); }); });
}

QWidget* TemplatePage::buildMiddleBand()
{
    auto* band = new QWidget(this);
    auto* layout = new QHBoxLayout(band);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    Panel9 = new TemplateCanvas(session_, band);
    Panel9->setObjectName("Panel9");
    Panel9->setAccessibleName("Template canvas");
    Panel9->setAccessibleDescription(
        "The template: drag a layer with the mouse, or move the current layer with the arrow keys");
    Panel9->setMinimumSize(kSmallestCanvas, kSmallestCanvas);
    Panel9->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    connect(Panel9, &TemplateCanvas::layerPressed, this, [this](LayerRef layer) {
        guard_.run([this, layer] {
            showInList(layer);
            loadEditors(layer);
        });
    });
    connect(Panel9, &TemplateCanvas::viewChanged, this, [this] { showImageSize(); });
    connect(Panel9, &TemplateCanvas::layerMoved, this,
            [this](LayerRef layer) { guard_.run([this, layer] { loadEditors(layer); }); });
    layout->addWidget(Panel9, 1);

    auto* column = new QWidget(band);
    column->setFixedWidth(kLayerColumnWidth);
    auto* columnLayout = new QVBoxLayout(column);
    columnLayout->setContentsMargins(0, 0, 0, 0);
    columnLayout->setSpacing(0);
    ListBox1 = new LayerList(column);
    ListBox1->setObjectName("ListBox1");
    ListBox1->setAccessibleName("Layers");
    columnLayout->addWidget(addFieldLabel(column, "Layers:", ListBox1));
    columnLayout->addWidget(ListBox1, 1);
    BitBtn6 = addPushButton(column, "New Text", "BitBtn6");
    BitBtn6->setFixedHeight(kLayerButtonHeight);
    BitBtn7 = addPushButton(column, "New Shape", "BitBtn7");
    BitBtn7->setFixedHeight(kLayerButtonHeight);
    columnLayout->addWidget(BitBtn6);
    columnLayout->addWidget(BitBtn7);
    buildAlignmentControls(column);
    layout->addWidget(column);

    PopupMenu2 = new QMenu(ListBox1);
    PopupMenu2->setObjectName("PopupMenu2");
    Delete1 = PopupMenu2->addAction("Delete");
    Delete1->setObjectName("Delete1");
    connectHandler(Delete1, &QAction::triggered, &TemplatePage::Delete1Click);
    connect(ListBox1, &LayerList::menuRequested, PopupMenu2, [this](QPoint point) { openLayerMenu(point); });
    connectHandler(ListBox1, &LayerList::deleteRequested, &TemplatePage::Delete1Click);
    // A click on an item, or the keyboard moving the selection.
    connectHandler(ListBox1, &QListWidget::itemClicked, &TemplatePage::ListBox1Click);
    connectHandler(ListBox1, &QListWidget::itemSelectionChanged, &TemplatePage::ListBox1Click);
    connectHandler(BitBtn6, &QPushButton::clicked, &TemplatePage::BitBtn6Click);
    connectHandler(BitBtn7, &QPushButton::clicked, &TemplatePage::BitBtn7Click);
    return band;
}

// Under the layer buttons, under one heading. Each box has a caption of its
// own beside it: on Linux a screen reader names a combo box by its label, not
// by its accessible name, which Qt gives out as the box's value.
void TemplatePage::buildAlignmentControls(QWidget* column)
{
    auto* columnLayout = static_cast<QVBoxLayout*>(column->layout());
    HorizontalAlignmentBox = new QComboBox(column);
    HorizontalAlignmentBox->setObjectName("HorizontalAlignmentBox");
    HorizontalAlignmentBox->addItems({"Left", "Centre", "Right"});
    HorizontalAlignmentBox->setAccessibleName("Horizontal alignment");
    HorizontalAlignmentBox->setToolTip("Where the lines of the current text layer sit across its box");
    VerticalAlignmentBox = new QComboBox(column);
    VerticalAlignmentBox->setObjectName("VerticalAlignmentBox");
    VerticalAlignmentBox->addItems({"Top", "Middle", "Bottom"});
    VerticalAlignmentBox->setAccessibleName("Vertical alignment");
    VerticalAlignmentBox->setToolTip("Where the lines of the current text layer sit up and down its box");
    ShrinkToFitBox = new QCheckBox("Shrink to fit", column);
    ShrinkToFitBox->setObjectName("ShrinkToFitBox");
    ShrinkToFitBox->setAccessibleName("Shrink to fit");
    ShrinkToFitBox->setToolTip(QStringLiteral("Draw a text too large for its box smaller, down to %1 pixels")
                                   .arg(kSmallestShrunkPixels));
    columnLayout->addWidget(addFieldLabel(column, "Alignment:"));
    auto* boxes = new QGridLayout;
    boxes->setContentsMargins(0, 0, 0, 0);
    boxes->addWidget(addFieldLabel(column, "Across:", HorizontalAlignmentBox), 0, 0);
    boxes->addWidget(HorizontalAlignmentBox, 0, 1);
    boxes->addWidget(addFieldLabel(column, "Down:", VerticalAlignmentBox), 1, 0);
    boxes->addWidget(VerticalAlignmentBox, 1, 1);
    boxes->setColumnStretch(1, 1);
    columnLayout->addLayout(boxes);
    columnLayout->addWidget(ShrinkToFitBox);
    connectHandler(HorizontalAlignmentBox, &QComboBox::currentIndexChanged, &TemplatePage::alignmentChanged);
    connectHandler(VerticalAlignmentBox, &QComboBox::currentIndexChanged, &TemplatePage::alignmentChanged);
    connectHandler(ShrinkToFitBox, &QCheckBox::toggled, &TemplatePage::alignmentChanged);
}

void TemplatePage::showAlignment(const TextLayer* layer)
{
    const TextAlignment alignment = layer ? layer->alignment : TextAlignment{};
    QWidget* const controls[] = {HorizontalAlignmentBox, VerticalAlignmentBox, ShrinkToFitBox};
    for (QWidget* control : controls) {
        const QSignalBlocker blocker(control);
        control->setEnabled(layer != nullptr);
    }
    const QSignalBlocker horizontal(HorizontalAlignmentBox);
    const QSignalBlocker vertical(VerticalAlignmentBox);
    const QSignalBlocker shrink(ShrinkToFitBox);
    HorizontalAlignmentBox->setCurrentIndex(int(alignment.horizontal));
    VerticalAlignmentBox->setCurrentIndex(int(alignment.vertical));
    ShrinkToFitBox->setChecked(alignment.shrinkToFit);
}

QWidget* TemplatePage::buildTextRow()
{
    auto* row = new QWidget(this);
    row->setFixedHeight(kTextRowHeight);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    Memo1 = new QPlainTextEdit(row);
    Memo1->setObjectName("Memo1");
    Memo1->setFont(designFont(10));
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setTabChangesFocus(true);
    Memo1->setAccessibleName("Layer text");
    // The row gives way when the page narrows, so the canvas can shrink.
    Memo1->setMinimumWidth(1);
    connectHandler(Memo1, &QPlainTextEdit::textChanged, &TemplatePage::Memo1Change);
    layout->addWidget(Memo1, 1);
    ButtonFont = addPushButton(row, "Change\nFont...", "ButtonFont");
    ButtonFont->setAccessibleName("Change Font...");
    ButtonFont->setFixedSize(123, kTextRowHeight);
    layout->addWidget(ButtonFont);
    return row;
}

// Placed one after the other, not by a layout: a narrow page cuts the bar
// off rather than keeping the canvas from shrinking.
QSpinBox* TemplatePage::addGeometryField(QWidget* bar, int& left, const QString& caption,
                                         void (TemplatePage::*handler)())
{
    auto* field = new QSpinBox(bar);
    field->setRange(0, kFieldMaximum);
    // A field left empty or out of range shows, and applies, the nearer bound.
    field->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    // The field reports a new value, the arrows and setValue included; its
    // editor reports what is typed, also text that is not a number (empty,
    // say), which applies as 0.
    const auto react = [this, handler] {
        if (fieldsReact_)
            guard_.run([this, handler] { (this->*handler)(); });
    };
    connect(field, &QSpinBox::textChanged, this, react);
    connect(field->findChild<QLineEdit*>(), &QLineEdit::textChanged, this, react);
    auto* label = addFieldLabel(bar, caption, field);
    label->adjustSize();
    left += kFieldGap;
    label->move(left, (kGeometryBarHeight - label->height()) / 2);
    left += label->width() + kLabelGap;
    field->setGeometry(left, kGeometryRowTop, kFieldWidth, kGeometryRowHeight);
    left += kFieldWidth;
    return field;
}

QWidget* TemplatePage::buildGeometryBar()
{
    auto* bar = new QWidget(this);
    bar->setFixedHeight(kGeometryBarHeight);
    Shape1 = new ColorSwatch(bar);
    Shape1->setObjectName("Shape1");
    Shape1->setGeometry(2 * kGeometryBarMargin, kGeometryRowTop, 23, kGeometryRowHeight);
    Shape1->setAccessibleName("Layer colour");
    Shape1->setToolTip("Text colour or fill of the current layer");
    connectHandler(Shape1, &ColorSwatch::mousePressed, &TemplatePage::Shape1MouseDown);
    int left = Shape1->geometry().right() + 1;
    SpinEdit1 = addGeometryField(bar, left, "Left:", &TemplatePage::SpinEdit1Change);
    SpinEdit1->setObjectName("SpinEdit1");
    SpinEdit2 = addGeometryField(bar, left, "Top:", &TemplatePage::SpinEdit2Change);
    SpinEdit2->setObjectName("SpinEdit2");
    SpinEdit3 = addGeometryField(bar, left, "Width:", &TemplatePage::SpinEdit3Change);
    SpinEdit3->setObjectName("SpinEdit3");
    SpinEdit4 = addGeometryField(bar, left, "Height:", &TemplatePage::SpinEdit4Change);
    SpinEdit4->setObjectName("SpinEdit4");
    return bar;
}

void TemplatePage::setTabOrder()
{
    QWidget* const order[] = {ComboBoxDestination2, Button7, fieldsButton, ComboBox2, Button8, previewLineBox,
                              Button6, imageWidthField,
                              imageHeightField, followWindowBox, Panel9, ListBox1, BitBtn6, BitBtn7,
                              HorizontalAlignmentBox, VerticalAlignmentBox, ShrinkToFitBox, Memo1, ButtonFont,
                              Shape1, SpinEdit1, SpinEdit2, SpinEdit3, SpinEdit4};
    for (std::size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

// Model to view -------------------------------------------------------------

void TemplatePage::modelChanged(TemplateChange change, LayerRef layer)
{
    if (change == TemplateChange::Current) {
        // Only the frame moves to another layer.
        Panel9->update();
        return;
    }
    Panel9->refresh();
    if (change == TemplateChange::Replaced) {
        showFields();
        showWholeTemplate();
        return;
    }
    if (change == TemplateChange::Fields) {
        showFields();
        return;
    }
    const QSignalBlocker blocker(ListBox1);
    if (change == TemplateChange::LayerAdded) {
        auto* item = new QListWidgetItem(listName(layer));
        item->setData(kLayerRole, int(layer.kind));
        item->setData(kNumberRole, layer.number);
        ListBox1->addItem(item);
        // A new layer is current: the list shows it chosen.
        ListBox1->setCurrentItem(item);
    } else if (change == TemplateChange::LayerRemoved) {
        delete itemOf(layer);
        ListBox1->setCurrentRow(-1);
        ListBox1->clearSelection();
    }
}

// After an undo step or a template opened: the list, the editors and the
// picture's name show the model afresh.
void TemplatePage::showWholeTemplate()
{
    {
        const QSignalBlocker blocker(ListBox1);
        ListBox1->clear();
        for (const LayerRef layer : model_.creationOrder()) {
            auto* item = new QListWidgetItem(listName(layer));
            item->setData(kLayerRole, int(layer.kind));
            item->setData(kNumberRole, layer.number);
            ListBox1->addItem(item);
        }
    }
    const LayerRef current = model_.currentLayer();
    if (model_.content().holds(current)) {
        showInList(current);
        loadEditors(current);
    } else {
        clearEditors();
    }
    const QString& picture = model_.content().backgroundSource;
    ComboBox2->setEditText(picture.isEmpty() ? kDefaultPictureName : picture);
}

// Fields and Preview line ------------------------------------------------------

void TemplatePage::showFields()
{
    const ListFields& fields = model_.content().fields;
    oneFieldItem->setChecked(fields.format == FieldFormat::OneField);
    tabFieldsItem->setChecked(fields.format == FieldFormat::TabSeparated);
    commaFieldsItem->setChecked(fields.format == FieldFormat::CommaSeparated);
    headerLineItem->setChecked(fields.headerLine);
    fieldsButton->setText(fieldsButtonText(fields));
    fieldsButton->setAccessibleName(fieldsSpokenName(fields));
    const bool hadFields = shownFormat_ != FieldFormat::OneField;
    const bool hasFields = fields.format != FieldFormat::OneField;
    shownFormat_ = fields.format;
    {
        const QSignalBlocker blocker(previewLineBox);
        if (hadFields != hasFields)
            previewLineBox->setChecked(hasFields);
    }
    nameListItems();
    showListLine();
}

void TemplatePage::fieldsChosen()
{
    ListFields fields;
    if (tabFieldsItem->isChecked())
        fields.format = FieldFormat::TabSeparated;
    else if (commaFieldsItem->isChecked())
        fields.format = FieldFormat::CommaSeparated;
    fields.headerLine = headerLineItem->isChecked();
    session_.setFields(fields);
    // Also when nothing changed: the menu shows the model again.
    showFields();
}

void TemplatePage::followList(const LineSource& lines, int cursorLine)
{
    const int count = lines.lineCount();
    firstListLine_ = count > 0 ? lines.line(0) : QString();
    cursorLineIndex_ = cursorLine >= 0 && cursorLine < count ? cursorLine : -1;
    cursorListLine_ = cursorLineIndex_ >= 0 ? lines.line(cursorLineIndex_) : QString();
    nameListItems();
    showListLine();
}

// The line under the cursor as START writes it; an empty line, the header
// line and a line not valid in the format make no image, so the layers then
// show their own texts.
void TemplatePage::showListLine()
{
    const bool header = model_.content().fields.headerLine && cursorLineIndex_ == 0;
    if (previewLineBox->isChecked() && !cursorListLine_.isEmpty() && !header)
        Panel9->showLine(cursorListLine_);
    else
        Panel9->showLine(std::nullopt);
}

bool TemplatePage::previewsListLine() const
{
    return Panel9->showsLine();
}

QString TemplatePage::listName(LayerRef layer) const
{
    const QString name = layerName(layer);
    if (!layer.isText() || layer.number > headerNames_.size())
        return name;
    const QString field = headerNames_[layer.number - 1].trimmed();
    return field.isEmpty() ? name : QStringLiteral("%1 (%2)").arg(name, field);
}

// Works out the header's names afresh and gives every item its name; a
// header not valid in the format names nothing.
void TemplatePage::nameListItems()
{
    headerNames_.clear();
    const ListFields& fields = model_.content().fields;
    if (fields.headerLine) {
        try {
            headerNames_ = splitFields(firstListLine_, fields.format);
        } catch (const AppError&) {
        }
    }
    for (int row = 0; row < ListBox1->count(); ++row) {
        QListWidgetItem* item = ListBox1->item(row);
        const LayerRef layer{LayerKind(item->data(kLayerRole).toInt()), item->data(kNumberRole).toLongLong()};
        const QString name = listName(layer);
        if (item->text() != name)
            item->setText(name);
    }
}

// No layer is current: nothing to edit.
void TemplatePage::clearEditors()
{
    showMemoText(QString());
    Memo1->setEnabled(false);
    ButtonFont->setEnabled(false);
    showAlignment(nullptr);
    showGeometry(LayerBox{}, Reactions::Suspended);
}

QListWidgetItem* TemplatePage::itemOf(LayerRef layer) const
{
    for (int row = 0; row < ListBox1->count(); ++row) {
        QListWidgetItem* item = ListBox1->item(row);
        if (item->data(kLayerRole).toInt() == int(layer.kind) && item->data(kNumberRole).toLongLong() == layer.number)
            return item;
    }
    return nullptr;
}

LayerRef TemplatePage::selectedLayer() const
{
    const QList<QListWidgetItem*> selected = ListBox1->selectedItems();
    if (selected.isEmpty())
        return {};
    return {LayerKind(selected.first()->data(kLayerRole).toInt()), selected.first()->data(kNumberRole).toLongLong()};
}

void TemplatePage::showInList(LayerRef layer)
{
    const QSignalBlocker blocker(ListBox1);
    if (QListWidgetItem* item = itemOf(layer))
        ListBox1->setCurrentItem(item);
}

void TemplatePage::loadEditors(LayerRef layer)
{
    if (layer.isText())
        MyLabelTiklandi(layer.number);
    else if (layer.isShape())
        MyShapeTiklandi(layer.number);
}

void TemplatePage::showGeometry(const LayerBox& box, Reactions reactions)
{
    const bool reacting = fieldsReact_;
    fieldsReact_ = reactions == Reactions::Active;
    showValue(SpinEdit1, box.left);
    showValue(SpinEdit2, box.top);
    showValue(SpinEdit3, box.width);
    showValue(SpinEdit4, box.height);
    fieldsReact_ = reacting;
}

void TemplatePage::showMemoText(const QString& text)
{
    const QSignalBlocker blocker(Memo1);
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    Memo1->setPlainText(lines);
}

// The fields show the image's size also while it follows the canvas.
void TemplatePage::showImageSize()
{
    const QSize image = session_.runCanvasSize(canvasSize());
    const bool reacting = fieldsReact_;
    fieldsReact_ = false;
    imageWidthField->setValue(image.width());
    imageHeightField->setValue(image.height());
    followWindowBox->setChecked(session_.imageFollowsCanvas());
    fieldsReact_ = reacting;
    const QString text = QStringLiteral("%1 × %2 pixels at %3 %")
                             .arg(image.width())
                             .arg(image.height())
                             .arg(std::lround(Panel9->zoom() * 100));
    if (text != zoomText_) {
        zoomText_ = text;
        emit zoomChanged(zoomText_);
    }
}

QString TemplatePage::zoomText() const
{
    return zoomText_;
}

// Refused beyond 100,000,000 pixels in all: the fields go back to the
// image's size and the message says why.
void TemplatePage::imageSizeEdited()
{
    const QSize size(imageWidthField->value(), imageHeightField->value());
    if (session_.imageFollowsCanvas() || size != session_.runCanvasSize(canvasSize())) {
        try {
            session_.setImageSize(size);
        } catch (...) {
            showImageSize();
            throw;
        }
    }
    showImageSize();
}

// Unticking keeps the size the image has now, no longer following.
void TemplatePage::followWindowClicked(bool follow)
{
    if (follow)
        session_.followCanvas();
    else
        session_.setImageSize(session_.runCanvasSize(canvasSize()));
    showImageSize();
}

// Handlers ----------------------------------------------------------------

void TemplatePage::BitBtn6Click()
{
    history_.record(QStringLiteral("New Text"), [this] {
        ColoredFont font{designFont(24), colors::clWindowText};
        const qint64 number = model_.addTextLayer(font, session_.runCanvasSize(canvasSize()));
        const TextLayer& layer = *model_.content().textLayer(number);
        // The editors show the new layer and can edit it at once. The fields
        // react while they take its values, so a negative Left or Top that
        // they show as 0 becomes 0 (in the same undo step) when that changes
        // what they showed.
        Shape1->setFillColor(layer.font.color.resolveForImage());
        showMemoText(layer.text);
        Memo1->setEnabled(true);
        ButtonFont->setEnabled(true);
        showAlignment(&layer);
        showGeometry(layer.box, Reactions::Active);
    });
}

void TemplatePage::BitBtn7Click()
{
    history_.record(QStringLiteral("New Shape"), [this] {
        const qint64 number = model_.addShapeLayer();
        const ShapeLayer& layer = *model_.content().shapeLayer(number);
        Shape1->setFillColor(layer.fill.resolveForImage());
        showMemoText(QString());
        Memo1->setEnabled(false);
        ButtonFont->setEnabled(false);
        showAlignment(nullptr);
        showGeometry(layer.box, Reactions::Active);
    });
}

void TemplatePage::ListBox1Click()
{
    const LayerRef layer = selectedLayer();
    if (!model_.content().holds(layer))
        return;
    history_.record(QStringLiteral("Bring %1 to Front").arg(layerName(layer)), [this, layer] {
        model_.makeCurrent(layer);
        loadEditors(layer);
        model_.bringToFront(layer);
    });
}

void TemplatePage::Delete1Click()
{
    const LayerRef layer = selectedLayer();
    history_.record(QStringLiteral("Delete %1").arg(layerName(layer)), [this, layer] { model_.deleteLayer(layer); });
}

void TemplatePage::MyLabelTiklandi(qint64 no)
{
    const TextLayer* layer = model_.content().textLayer(no);
    if (!layer)
        return;
    Shape1->setFillColor(layer->font.color.resolveForImage());
    showMemoText(layer->text);
    Memo1->setEnabled(true);
    ButtonFont->setEnabled(true);
    showAlignment(layer);
    showGeometry(layer->box, Reactions::Suspended);
}

void TemplatePage::MyShapeTiklandi(qint64 no)
{
    const ShapeLayer* layer = model_.content().shapeLayer(no);
    if (!layer)
        return;
    Shape1->setFillColor(layer->fill.resolveForImage());
    showMemoText(QString());
    Memo1->setEnabled(false);
    ButtonFont->setEnabled(false);
    showAlignment(nullptr);
    showGeometry(layer->box, Reactions::Suspended);
}

// Typing into one field of one layer is one undo step, however many
// characters it takes.
void TemplatePage::applyField(QSpinBox* field, void (TemplateModel::*apply)(LayerRef, int), const QString& caption,
                              StepKind kind)
{
    const LayerRef layer = model_.currentLayer();
    const int value = wholeNumberOrZero(*field);
    history_.record(QStringLiteral("%1 of %2").arg(caption, layerName(layer)),
                    [this, apply, layer, value] { (model_.*apply)(layer, value); }, kind, layer);
}

void TemplatePage::SpinEdit1Change()
{
    applyField(SpinEdit1, &TemplateModel::setLeft, QStringLiteral("Left"), StepKind::Left);
}

void TemplatePage::SpinEdit2Change()
{
    applyField(SpinEdit2, &TemplateModel::setTop, QStringLiteral("Top"), StepKind::Top);
}

void TemplatePage::SpinEdit3Change()
{
    applyField(SpinEdit3, &TemplateModel::setWidth, QStringLiteral("Width"), StepKind::Width);
}

void TemplatePage::SpinEdit4Change()
{
    applyField(SpinEdit4, &TemplateModel::setHeight, QStringLiteral("Height"), StepKind::Height);
}

void TemplatePage::Memo1Change()
{
    const LayerRef layer = model_.currentLayer();
    if (!layer.isText() || !model_.content().textLayer(layer.number))
        return;
    // A layer's lines are joined by CR LF, as in the template file.
    const QString text = withParagraphBreaks(Memo1->document()->toRawText(), u"\r\n");
    try {
        history_.record(QStringLiteral("Text of %1").arg(layerName(layer)), [this, layer, &text] {
            model_.setText(layer.number, text);
            // The fields follow the size the layer took.
            showGeometry(model_.content().textLayer(layer.number)->box, Reactions::Suspended);
        }, StepKind::Text, layer);
    } catch (const AppError&) {
        showRefusedTextUndone(layer);
        throw;
    }
}

void TemplatePage::showRefusedTextUndone(LayerRef layer)
{
    // Left in the editor, a refused text (a pasted line too long) would be
    // offered again, and refused again, at every further keystroke.
    if (const TextLayer* kept = model_.content().textLayer(layer.number)) {
        showMemoText(kept->text);
        Memo1->moveCursor(QTextCursor::End);
    }
}

void TemplatePage::alignmentChanged()
{
    const LayerRef layer = model_.currentLayer();
    const TextLayer* text = layer.isText() ? model_.content().textLayer(layer.number) : nullptr;
    if (!text)
        return;
    TextAlignment alignment;
    alignment.horizontal = HorizontalAlignment(std::max(HorizontalAlignmentBox->currentIndex(), 0));
    alignment.vertical = VerticalAlignment(std::max(VerticalAlignmentBox->currentIndex(), 0));
    alignment.shrinkToFit = ShrinkToFitBox->isChecked();
    const QString caption = alignment.shrinkToFit != text->alignment.shrinkToFit ? QStringLiteral("Shrink to Fit")
                                                                                   : QStringLiteral("Alignment");
    history_.record(QStringLiteral("%1 of %2").arg(caption, layerName(layer)), [this, layer, &alignment] {
        model_.setAlignment(layer.number, alignment);
        // Back at the defaults the box follows the text again.
        showGeometry(model_.content().textLayer(layer.number)->box, Reactions::Suspended);
    });
}

void TemplatePage::Shape1MouseDown()
{
    const LayerRef layer = model_.currentLayer();
    const std::optional<ColorValue> color = model_.colorOf(layer);
    if (!color)
        return;
    const std::optional<QColor> chosen = dialogs_.pickColor(this, color->resolveForImage());
    if (!chosen)
        return;
    history_.record(QStringLiteral("Colour of %1").arg(layerName(layer)), [this, layer, &chosen] {
        model_.setColor(layer, ColorValue::fromRgb(*chosen));
        Shape1->setFillColor(*chosen);
    });
}

void TemplatePage::Button8Click()
{
    FileDialogRequest request;
    request.title = QStringLiteral("Open");
    request.nameFilters = pictureNameFilters();
    // Where the picture shown came from, or the home folder (also for a
    // picture that came inside a template file, which has a name only).
    const QFileInfo shown(model_.content().backgroundSource);
    request.startFolder = shown.isAbsolute() ? shown.absolutePath() : QDir::homePath();
    request.preview = previewBackgroundPicture;
    const std::optional<QString> chosen = dialogs_.openFile(this, request);
    if (chosen)
        setBackgroundFromFile(*chosen);
}

void TemplatePage::setBackgroundFromFile(const QString& path)
{
    PictureFile picture;
    {
        BusyCursor busy;
        picture = readBackgroundPicture(path);
    }
    // Only a picture in use is named.
    history_.record(QStringLiteral("Background Image"), [this, &picture, &path] {
        model_.setBackground(picture.picture, path, picture.bytes);
        ComboBox2->setEditText(path);
    });
}

// A picture dragged from the desktop onto the canvas becomes the background
// as one chosen with Browse... does; of several files the first is taken.
// What is no picture is refused with the reason the dialog's choice would give.
void TemplatePage::acceptDroppedPictures()
{
    FileDropTarget::install(*Panel9, [this](const QStringList& paths) {
        guard_.run([this, &paths] { setBackgroundFromFile(paths.first()); });
    });
}

// For the window --------------------------------------------------------------

std::optional<ColoredFont> TemplatePage::currentTextLayerFont() const
{
    const LayerRef layer = model_.currentLayer();
    const TextLayer* text = layer.isText() ? model_.content().textLayer(layer.number) : nullptr;
    if (!text)
        return std::nullopt;
    return text->font;
}

void TemplatePage::setCurrentTextLayerFont(const ColoredFont& font)
{
    const LayerRef layer = model_.currentLayer();
    if (!layer.isText() || !model_.content().textLayer(layer.number))
        return;
    history_.record(QStringLiteral("Font of %1").arg(layerName(layer)), [this, layer, &font] {
        model_.setFont(layer.number, font);
        MyLabelTiklandi(layer.number);
    });
}

// The page lies hidden under the Simple page until the user opens it, and
// the widgets of a page never shown are not laid out yet: the canvas's size
// is then worked out from the size the shown page has, the layers having
// fixed sizes around the canvas.
QSize TemplatePage::canvasSize() const
{
    if (Panel9->isVisible() || !parentWidget())
        return Panel9->size();
    const QSize page = parentWidget()->contentsRect().marginsRemoved(kPageMargins).size();
    return QSize(std::max(page.width() - kLayerColumnWidth, kSmallestCanvas),
                 std::max(page.height() - kTopBarHeight - kTextRowHeight - kGeometryBarHeight, kSmallestCanvas));
}

void TemplatePage::showCurrentLayer()
{
    const LayerRef current = model_.currentLayer();
    if (model_.content().holds(current))
        loadEditors(current);
}

void TemplatePage::startNewTemplate()
{
    session_.startNew([this] { BitBtn6Click(); });
}

// Opened where it was asked for, Delete offered only for a chosen layer.
void TemplatePage::openLayerMenu(QPoint globalPosition)
{
    Delete1->setEnabled(model_.content().holds(selectedLayer()));
    PopupMenu2->popup(globalPosition);
}

// The bars place their controls by hand, so no layout knows how wide they
// must be: each keeps the width that shows all of its controls, and the
// window, through the page's layout, never gets narrower than that.
void TemplatePage::keepControlsReachable()
{
    for (QWidget* bar : {Button6->parentWidget(), SpinEdit4->parentWidget()}) {
        // childrenRect() would leave out the controls not shown yet.
        int right = 0;
        for (const QWidget* control : bar->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            right = std::max(right, control->geometry().right() + 1);
        bar->setMinimumWidth(right + kGeometryBarMargin);
    }
}

void TemplatePage::createFirstLayerWhenShown(QWidget* window)
{
    firstShowWindow_ = window;
    window->installEventFilter(this);
}

bool TemplatePage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != firstShowWindow_ && event->type() == QEvent::ShortcutOverride &&
        isUndoOrRedoKey(*static_cast<QKeyEvent*>(event))) {
        // Not taken by the editor, so the shortcut of the window's Edit menu fires.
        event->ignore();
        return true;
    }
    if (watched == firstShowWindow_ && event->type() == QEvent::Show) {
        firstShowWindow_->removeEventFilter(this);
        firstShowWindow_ = nullptr;
        guard_.run([this] { BitBtn6Click(); });
        // The canvas starts with Text 1: that is where the history begins.
        history_.stack().clear();
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace pennolux
