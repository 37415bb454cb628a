#include "SimplePage.h"

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QSpinBox>
#include <QTimer>
#include <algorithm>

#include "Icons.h"
#include "MarginField.h"
#include "MemoLineSource.h"
#include "PreviewPanel.h"
#include "app/ApplicationState.h"
#include "app/settings/FontKeys.h"
#include "platform/Dialogs.h"
#include "platform/HandlerGuard.h"
#include "platform/PlatformServices.h"
#include "platform/text/ColorValue.h"
#include "platform/widgets/ColorSwatch.h"
#include "platform/widgets/FormHelpers.h"
#include "production/simplerun/SimplePreview.h"
#include "production/simplerun/SimpleRun.h"

namespace pennolux {

namespace {

constexpr int kMarginMaximum = 999999999;
// The preview's corner, under START, and its distance from the page's edges.
constexpr int kPreviewLeft = 8;
constexpr int kPreviewTop = 240;
constexpr int kPreviewMargin = 8;
constexpr int kSmallestPreviewHeight = 24;

} // namespace

SimplePage::SimplePage(const PageRunContext& context, const HandlerGuard& guard, const QPlainTextEdit& list,
                       ColoredFont& font, QWidget* parent)
    : QWidget(parent), context_(context), guard_(guard), list_(list), font_(font)
{
    setObjectName("TabSheet1");

    QLabel* destinationCaption = addLabel("Destination:", 8, 10);
    ComboBoxDestination1 = addDestinationBox(this, "ComboBoxDestination1");
    labelField(destinationCaption, ComboBoxDestination1);
    ButtonBrowse = addPushButton(this, "Browse...", "ButtonBrowse");
    ButtonBrowse->setIcon(uiIcon("folder"));
    ButtonBrowse->setGeometry(333, 4, 134, 25);
    connect(ButtonBrowse, &QPushButton::clicked, this, guard_.slot(this, &SimplePage::ButtonBrowseClick));

    addLabel("Background Color:", 8, 39);
    Shape2 = new ColorSwatch(this);
    Shape2->setObjectName("Shape2");
    Shape2->setAccessibleName("Background colour");
    Shape2->setGeometry(113, 33, 25, 25);
    Shape2->setFillColor(colors::clSkyBlue.resolve());
    connect(Shape2, &ColorSwatch::mousePressed, this, guard_.slot(this, &SimplePage::Shape2MouseDown));

    addLabel("Font:", 8, 71);
    Button5 = addPushButton(this, "Change Font...", "Button5");
    Button5->setIcon(uiIcon("font"));
    Button5->setGeometry(113, 64, 214, 25);
    connect(Button5, &QPushButton::clicked, this, guard_.slot(this, &SimplePage::Button5Click));

    SpinEdit5 = addMarginField("SpinEdit5", 95);
    labelField(addLabel("Margin (Left):", 8, 99), SpinEdit5);
    SpinEdit6 = addMarginField("SpinEdit6", 123);
    labelField(addLabel("Margin (Right):", 8, 127), SpinEdit6);
    SpinEdit7 = addMarginField("SpinEdit7", 151);
    labelField(addLabel("Margin (Top):", 8, 155), SpinEdit7);
    SpinEdit8 = addMarginField("SpinEdit8", 179);
    labelField(addLabel("Margin (Bottom):", 8, 183), SpinEdit8);

    Button4 = addStartButton(this, "Button4");
    Button4->setGeometry(113, 206, 214, 25);
    connect(Button4, &QPushButton::clicked, this, guard_.slot(this, &SimplePage::Button4Click));

    // The swatch, which the design reached by mouse only, takes its place in
    // the order after the folder it sits under.
    QWidget* tabOrder[] = {ComboBoxDestination1, ButtonBrowse, Shape2, Button5, SpinEdit5,
                           SpinEdit6, SpinEdit7, SpinEdit8, Button4};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);

    buildPreview();
}

QLabel* SimplePage::addLabel(const QString& caption, int left, int top)
{
    QLabel* label = addFieldLabel(this, caption);
    label->move(left, top);
    label->adjustSize();
    return label;
}

QSpinBox* SimplePage::addMarginField(const char* name, int top)
{
    auto* field = new MarginField(this);
    field->setObjectName(QLatin1String(name));
    field->setRange(0, kMarginMaximum);
    field->setValue(1);
    field->setGeometry(113, top, 214, 22);
    return field;
}

// The preview fills the page's free space below the designed controls and
// follows the page's size; no designed control moves.
void SimplePage::buildPreview()
{
    preview = new PreviewPanel(this);
    previewTimer_ = new QTimer(this);
    previewTimer_->setSingleShot(true);
    previewTimer_->setInterval(0);
    connect(previewTimer_, &QTimer::timeout, this, &SimplePage::updatePreview);
    connect(&list_, &QPlainTextEdit::textChanged, this, &SimplePage::schedulePreview);
    connect(&list_, &QPlainTextEdit::cursorPositionChanged, this, &SimplePage::schedulePreview);
    for (QSpinBox* margin : {SpinEdit5, SpinEdit6, SpinEdit7, SpinEdit8})
        connect(margin, &QSpinBox::textChanged, this, &SimplePage::schedulePreview);
    schedulePreview();
    // The designed controls sit where designed, so the page is never smaller
    // than they need, with a strip of preview below them.
    setMinimumSize(ButtonBrowse->geometry().right() + 1 + kPreviewMargin,
                   kPreviewTop + kSmallestPreviewHeight + kPreviewMargin);
}

void SimplePage::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    preview->setGeometry(kPreviewLeft, kPreviewTop, std::max(0, width() - kPreviewLeft - kPreviewMargin),
                         std::max(0, height() - kPreviewTop - kPreviewMargin));
}

// What the page's controls ask for, read afresh: START and the preview draw
// from this one reading. A margin whose text is not a whole number counts as 0.
SimpleLook SimplePage::simpleLook() const
{
    SimpleLook look;
    look.left = wholeNumberOrZero(*SpinEdit5);
    look.right = wholeNumberOrZero(*SpinEdit6);
    look.top = wholeNumberOrZero(*SpinEdit7);
    look.bottom = wholeNumberOrZero(*SpinEdit8);
    look.background = Shape2->fillColor();
    look.font = font_.font;
    look.textColor = font_.color.resolveForImage();
    return look;
}

void SimplePage::schedulePreview()
{
    // Every change of one event loop pass is drawn once, before the next frame.
    if (!previewTimer_->isActive())
        previewTimer_->start();
}

void SimplePage::updatePreview()
{
    const MemoLineSource lines(list_);
    const std::optional<PreviewLine> line = previewLine(lines, list_.textCursor().blockNumber());
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

// Handlers ------------------------------------------------------------------

void SimplePage::ButtonBrowseClick()
{
    browseDestinationInto(context_, *ComboBoxDestination1);
}

void SimplePage::Shape2MouseDown()
{
    const auto chosen = context_.services.dialogs.pickColor(&context_.window, Shape2->fillColor());
    if (chosen) {
        Shape2->setFillColor(*chosen);
        schedulePreview();
    }
}

void SimplePage::Button5Click()
{
    const auto chosen = context_.services.dialogs.pickFont(&context_.window, font_);
    if (!chosen)
        return;
    font_ = *chosen;
    schedulePreview();
    writeFontKeys(context_.state.SettingsIni, font_);
    context_.state.SettingsIni.save();
}

void SimplePage::Button4Click()
{
    const SimpleLook look = simpleLook();
    runAndReport(context_, list_, ComboBoxDestination1->currentText(), FieldFormat::OneField,
                 [&look](const LineSource& lines, const LineRunOptions& options) {
                     return runLines(lines, simpleLineEncoders(look, options.format), options);
                 });
}

} // namespace pennolux
