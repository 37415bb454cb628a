#include "TFeedbackForm.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QVBoxLayout>

#include "ChoicePanel.h"
#include "platform/fonts/DesignFont.h"
#include "localisation/Translator.h"
#include "platform/desktop/Beeper.h"
#include "platform/MessageBoxes.h"
#include "platform/widgets/FormHelpers.h"
#include "services/TextTrim.h"
#include "services/feedback/FeedbackMessage.h"
#include "services/requests/ExchangeWithService.h"

static void initialiseFeedbackIcons()
{
    Q_INIT_RESOURCE(services);
}

namespace pennolux {

namespace {

constexpr int kClientWidth = 525;
constexpr int kClientHeight = 326;
constexpr int kMemoLimit = 10000;
constexpr int kAddressLimit = 100;

const QString kLikePhrase = QStringLiteral("I like it!");
const QString kDislikePhrase = QStringLiteral("I dislike it!");

QFont designFontOf(int points, bool bold = false)
{
    QFont font = designFont(points);
    font.setBold(bold);
    return font;
}

QWidget* strip(QWidget* parent, const char* name, int height)
{
    auto* panel = new QWidget(parent);
    panel->setObjectName(name);
    panel->setFixedHeight(height);
    return panel;
}

QLabel* label(QWidget* parent, const char* name, const QFont& font)
{
    auto* text = new QLabel(parent);
    text->setObjectName(name);
    text->setTextFormat(Qt::PlainText);
    text->setFont(font);
    return text;
}

} // namespace

TFeedbackForm::TFeedbackForm(const Translator& translator, MessageBoxes& messageBoxes, Beeper& beeper,
                             FeedbackSetup setup, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      translator_(translator), messageBoxes_(messageBoxes), beeper_(beeper), setup_(std::move(setup)),
      guard_(messageBoxes, this)
{
    initialiseFeedbackIcons();
    setObjectName("FeedbackForm");
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(designFont(8));
    buildControls();
    FormCreate();
    setFixedSize(kClientWidth, kClientHeight);
    centreOnScreen(*this);
    Memo1->setFocus();
}

void TFeedbackForm::buildControls()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    Panel3 = strip(this, "Panel3", 46);
    auto* choices = new QHBoxLayout(Panel3);
    choices->setContentsMargins(3, 3, 3, 3);
    choices->setSpacing(6);
    Panel4 = new ChoicePanel(QIcon(QStringLiteral(":/services/like.svg")), Panel3);
    Panel4->setObjectName("Panel4");
    Panel5 = new ChoicePanel(QIcon(QStringLiteral(":/services/dislike.svg")), Panel3);
    Panel5->setObjectName("Panel5");
    for (ChoicePanel* choice : {Panel4, Panel5}) {
        choice->setFont(designFontOf(12));
        choice->setFixedHeight(40);
        choices->addWidget(choice, 1);
    }
    Image1 = Panel4->picture();
    Image1->setObjectName("Image1");
    Image2 = Panel5->picture();
    Image2->setObjectName("Image2");
    connect(Panel4, &ChoicePanel::clicked, this, guard_.slot(this, &TFeedbackForm::Image1Click));
    connect(Panel5, &ChoicePanel::clicked, this, guard_.slot(this, &TFeedbackForm::Image2Click));
    layout->addWidget(Panel3);

    Label1 = label(this, "Label1", designFontOf(12));
    Label1->setContentsMargins(3, 2, 3, 2);
    layout->addWidget(Label1);
    Label2 = label(this, "Label2", designFontOf(10, true));
    Label2->setContentsMargins(3, 2, 3, 2);
    layout->addWidget(Label2);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName("Memo1");
    Memo1->setFont(designFontOf(10));
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Tab moves on, as in the other fields; Enter makes a new line.
    Memo1->setTabChangesFocus(true);
    connect(Memo1->document(), &QTextDocument::contentsChange, this,
            [this](int position, int, int added) { limitMemoLength(position, added); });
    labelField(Label2, Memo1);
    layout->addWidget(Memo1, 1);

    Panel1 = strip(this, "Panel1", 30);
    auto* address = new QHBoxLayout(Panel1);
    address->setContentsMargins(3, 3, 3, 3);
    Label3 = label(Panel1, "Label3", designFontOf(10));
    Label3->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Edit1 = new QLineEdit(Panel1);
    Edit1->setObjectName("Edit1");
    Edit1->setFont(designFontOf(10));
    Edit1->setMaxLength(kAddressLimit);
    labelField(Label3, Edit1);
    address->addWidget(Label3);
    address->addWidget(Edit1, 1);
    layout->addWidget(Panel1);

    Panel2 = strip(this, "Panel2", 40);
    auto* send = new QHBoxLayout(Panel2);
    send->setContentsMargins(3, 3, 3, 3);
    BitBtn1 = new QPushButton(Panel2);
    BitBtn1->setObjectName("BitBtn1");
    BitBtn1->setFont(designFontOf(10, true));
    BitBtn1->setFixedSize(180, 34);
    BitBtn1->setIcon(QIcon(QStringLiteral(":/services/envelope.svg")));
    BitBtn1->setIconSize(QSize(16, 16));
    BitBtn1->setDefault(true);
    send->addStretch(1);
    send->addWidget(BitBtn1);
    connect(BitBtn1, &QPushButton::clicked, this, guard_.slot(this, &TFeedbackForm::BitBtn1Click));
    layout->addWidget(Panel2);

    // The design's order first; the two choices follow the send button so
    // that the keyboard reaches them too.
    setTabOrder(Memo1, Edit1);
    setTabOrder(Edit1, BitBtn1);
    setTabOrder(BitBtn1, Panel4);
    setTabOrder(Panel4, Panel5);
    for (QWidget* field : {static_cast<QWidget*>(BitBtn1), static_cast<QWidget*>(Edit1), static_cast<QWidget*>(Memo1)})
        field->installEventFilter(this);
}

void TFeedbackForm::FormCreate()
{
    setWindowTitle(setup_.appProductName + u' ' + translator_.Translate("feedback"));
    Label1->setText(translator_.Translate("We would really appreciate your feedback."));
    Label2->setText(translator_.Translate("What did you like or dislike?"));
    Label3->setText(translator_.Translate("Include my e-mail:"));
    BitBtn1->setText(translator_.Translate("Send"));
    Panel4->setText(translator_.Translate(kLikePhrase));
    Panel5->setText(translator_.Translate(kDislikePhrase));
    Panel4->setAccessibleName(Panel4->text());
    Panel5->setAccessibleName(Panel5->text());
    Memo1->setAccessibleName(Label2->text());
    Edit1->setAccessibleName(Label3->text());
    BitBtn1->setAccessibleName(BitBtn1->text());
}

void TFeedbackForm::limitMemoLength(int position, int added)
{
    const int excess = Memo1->document()->characterCount() - 1 - kMemoLimit;
    if (excess <= 0 || added <= 0)
        return;
    QTextCursor cursor(Memo1->document());
    const int end = position + added;
    cursor.setPosition(std::max(position, end - excess));
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
}

void TFeedbackForm::Image1Click()
{
    Panel4->setSelected(true);
    Panel5->setSelected(false);
}

void TFeedbackForm::Image2Click()
{
    Panel5->setSelected(true);
    Panel4->setSelected(false);
}

void TFeedbackForm::BitBtn1Click()
{
    FeedbackInput input;
    input.likeSelected = Panel4->isSelected();
    input.dislikeSelected = Panel5->isSelected();
    input.likeCaption = Panel4->text();
    input.dislikeCaption = Panel5->text();
    input.message = Memo1->toPlainText();
    const QString feedback = feedbackText(input);
    if (feedback.isEmpty()) {
        beeper_.beep();
        return;
    }
    const QString email = trimSpacesAndControls(Edit1->text());
    if (!email.isEmpty() && !isValidFeedbackEmail(email)) {
        messageBoxes_.show(this, translator_.Translate("Failure"), translator_.Translate("Invalid e-mail address!"),
                           MessageIcon::Error);
        return;
    }

    PostOptions options;
    options.caBundleFile = setup_.caBundleFile;
    bool delivered = false;
    try {
        delivered = isDeliveredAnswer(ExchangeWithService(setup_.serviceBase + QStringLiteral("/php/feedback.php"),
                                                          feedbackRequest(setup_.appTitle, setup_.appVersion,
                                                                          feedback, email),
                                                          setup_.timeoutMs, options));
    } catch (const ServicePostError&) {
        delivered = false;
    }

    if (delivered) {
        messageBoxes_.show(this, translator_.Translate("Success"),
                           translator_.Translate("Your feedback is received.") + QStringLiteral("\r\r") +
                               translator_.Translate("Thank you!"),
                           MessageIcon::Information);
        close();
        return;
    }
    messageBoxes_.show(this, translator_.Translate("Failure"),
                       translator_.Translate("Something went wrong. Your feedback could not be delivered.") +
                           QStringLiteral("\r\r") + translator_.Translate("Please try again later."),
                       MessageIcon::Error);
}

// BitBtn1KeyDown, Edit1KeyDown and Memo1KeyDown: Esc closes the window.
bool TFeedbackForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        close();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace pennolux
