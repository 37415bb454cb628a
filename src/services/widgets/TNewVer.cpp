#include "TNewVer.h"

#include <QCloseEvent>
#include <QCursor>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include "NoticeLink.h"
#include "platform/fonts/DesignFont.h"
#include "localisation/Translator.h"
#include "platform/desktop/Shell.h"
#include "services/check/UpdateRules.h"

static void initialiseServiceIcons()
{
    Q_INIT_RESOURCE(services);
}

namespace pennolux {

namespace {

constexpr int kClientWidth = 320;
constexpr int kClientHeight = 68;
constexpr int kScreenGap = 5;
constexpr int kAnimationMs = 100;

QRect collapsedAt(const QRect& full)
{
    return {full.center(), QSize(1, 1)};
}

} // namespace

TNewVer::TNewVer(const Translator& translator, Shell& shell, NewVersionOffer offer, QWidget* mainWindow)
    : QWidget(mainWindow, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), shell_(shell),
      offer_(std::move(offer)), mainWindow_(mainWindow)
{
    initialiseServiceIcons();
    setObjectName("NewVer");
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFont(designFont(8));
    resize(kClientWidth, kClientHeight);

    Panel1 = new QFrame(this);
    Panel1->setObjectName("Panel1");
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setLineWidth(1);
    Panel1->setGeometry(0, 0, kClientWidth, kClientHeight);

    Image1 = new QLabel(Panel1);
    Image1->setObjectName("Image1");
    Image1->setGeometry(4, 4, 60, 60);
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setPixmap(offer_.appIcon.pixmap(32, 32));

    Panel2 = new QWidget(Panel1);
    Panel2->setObjectName("Panel2");
    Panel2->setGeometry(67, 1, 230, 66);

    Label1 = new QLabel(Panel2);
    Label1->setObjectName("Label1");
    Label1->setTextFormat(Qt::PlainText);
    Label1->setGeometry(3, 3, 224, 16);
    Label1->setAlignment(Qt::AlignCenter);
    QFont titleFont = designFont(10);
    titleFont.setBold(true);
    Label1->setFont(titleFont);
    Label1->setText(translator.Translate("UPDATE AVAILABLE"));

    Label2 = new NoticeLink(Panel2);
    Label2->setObjectName("Label2");
    Label2->setGeometry(0, 22, 230, 44);
    Label2->setAlignment(Qt::AlignCenter);
    Label2->setWordWrap(true);
    QFont linkFont = designFont(10);
    linkFont.setUnderline(true);
    Label2->setFont(linkFont);
    Label2->setText(translator.Translate("Click to download") + u' ' + offer_.productName + u' ' +
                    offer_.serverVersion);
    Label2->setAccessibleName(Label2->text());
    Label2->setAccessibleDescription(QStringLiteral("Link"));
    connect(Label2, &NoticeLink::activated, this, &TNewVer::Label2Click);

    Panel3 = new QWidget(Panel1);
    Panel3->setObjectName("Panel3");
    Panel3->setGeometry(kClientWidth - 1 - 22, 1, 22, 66);

    Button1 = new QPushButton(Panel3);
    Button1->setObjectName("Button1");
    Button1->setGeometry(0, 0, 22, 22);
    Button1->setCursor(Qt::PointingHandCursor);
    Button1->setIcon(QIcon(QStringLiteral(":/services/close.svg")));
    Button1->setIconSize(QSize(16, 16));
    Button1->setAccessibleName(QStringLiteral("Close"));
    Button1->setToolTip(QStringLiteral("Close"));
    connect(Button1, &QPushButton::clicked, this, &TNewVer::Button1Click);

    setAccessibleName(Label1->text());
    setWindowTitle(Label1->text());
    // Panel1 covers the window itself.
    for (QWidget* handle : {static_cast<QWidget*>(Panel1), static_cast<QWidget*>(Image1),
                            static_cast<QWidget*>(Label1), Panel3})
        handle->installEventFilter(this);

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.left() + area.width() - kClientWidth - kScreenGap, area.top() + kScreenGap);
    }

    TimerStart = new QTimer(this);
    TimerStart->setInterval(1);
    connect(TimerStart, &QTimer::timeout, this, &TNewVer::TimerStartTimer);
    TimerClose = new QTimer(this);
    TimerClose->setInterval(1000);
    connect(TimerClose, &QTimer::timeout, this, &TNewVer::TimerCloseTimer);
    TimerLink = new QTimer(this);
    TimerLink->setInterval(100);
    connect(TimerLink, &QTimer::timeout, this, &TNewVer::TimerLinkTimer);
    TimerStart->start();
    TimerClose->start();
    TimerLink->start();
}

TNewVer::~TNewVer() = default;

void TNewVer::animate(QRect from, QRect to, bool closing)
{
    if (animation_)
        animation_->stop();
    auto* animation = new QPropertyAnimation(this, "geometry", this);
    animation->setDuration(kAnimationMs);
    animation->setStartValue(from);
    animation->setEndValue(to);
    if (closing) {
        connect(animation, &QPropertyAnimation::finished, this, [this, full = from] {
            close();
            setGeometry(full); // the next show, if any, starts from the real size
        });
    }
    animation_ = animation;
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void TNewVer::TimerStartTimer()
{
    TimerStart->stop();
    const QRect full = geometry();
    setGeometry(collapsedAt(full));
    show();
    animate(collapsedAt(full), full, false);
    shown_ = true;
    // The notice never keeps the keyboard focus.
    if (mainWindow_)
        mainWindow_->activateWindow();
}

void TNewVer::TimerCloseTimer()
{
    if (--countdown_ > 0)
        return;
    TimerClose->stop();
    const QRect full(pos(), QSize(kClientWidth, kClientHeight));
    animate(full, collapsedAt(full), true);
}

void TNewVer::TimerLinkTimer()
{
    const QPoint pointer = Label2->mapFromGlobal(QCursor::pos());
    const bool over = Label2->rect().contains(pointer);
    QPalette colours = Label2->palette();
    const QPalette& system = QGuiApplication::palette();
    colours.setColor(QPalette::WindowText, over ? system.color(QPalette::Highlight) : system.color(QPalette::WindowText));
    Label2->setPalette(colours);
}

void TNewVer::Label2Click()
{
    shell_.openUrl(downloadAddress(offer_.downloadLink, offer_.serviceBase));
    close();
}

void TNewVer::Button1Click()
{
    close();
}

void TNewVer::closeEvent(QCloseEvent* event)
{
    // Hidden, not destroyed: nothing shows it again in this run.
    TimerStart->stop();
    TimerClose->stop();
    TimerLink->stop();
    shown_ = false;
    QWidget::closeEvent(event);
}

// Panel1, Image1, Label1 and Panel3 drag the window; their events are taken
// here so that a parent does not see them a second time. Panel1 also receives
// what the link and Panel2 leave unhandled, which must not drag.
bool TNewVer::eventFilter(QObject* watched, QEvent* event)
{
    const bool mouseEvent = event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseMove ||
                            event->type() == QEvent::MouseButtonRelease;
    if (mouseEvent && watched == Panel1 && event->type() != QEvent::MouseButtonRelease &&
        Panel1->childAt(static_cast<QMouseEvent*>(event)->position().toPoint()) != nullptr && !Dragging)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        FormMouseDown(mouse->button(), mouse->globalPosition().toPoint());
        return true;
    }
    case QEvent::MouseMove:
        FormMouseMove(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
        return true;
    case QEvent::MouseButtonRelease:
        FormMouseUp();
        return true;
    default:
        return QWidget::eventFilter(watched, event);
    }
}

void TNewVer::FormMouseDown(Qt::MouseButton button, QPoint screenPosition)
{
    if (button == Qt::RightButton)
        return;
    DragStartX = screenPosition.x();
    DragStartY = screenPosition.y();
    Dragging = true;
}

void TNewVer::FormMouseMove(QPoint screenPosition)
{
    if (!Dragging)
        return;
    move(pos() + QPoint(screenPosition.x() - DragStartX, screenPosition.y() - DragStartY));
    DragStartX = screenPosition.x();
    DragStartY = screenPosition.y();
}

void TNewVer::FormMouseUp()
{
    Dragging = false;
}

} // namespace pennolux
