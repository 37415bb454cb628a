#include "ui/about/TAboutBox.h"

#include <QAction>
#include <QFrame>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSvgRenderer>
#include <QTimer>
#include <QWindow>
#include <utility>

#include "app/ApplicationState.h"
#include "app/DataFiles.h"
#include "platform/fonts/DesignFont.h"
#include "app/web/OnlineHelp.h"
#include "app/web/WebAddress.h"
#include "localisation/Translator.h"
#include "platform/MessageBoxes.h"
#include "platform/desktop/Shell.h"
#include "platform/system/TickCount.h"
#include "platform/widgets/FormHelpers.h"
#include "ui/about/LinkLabel.h"

namespace pennolux {

namespace {

constexpr QSize kClientSize(446, 374);
constexpr QRect kPanel(48, 42, 350, 291);
constexpr QRect kLogo(3, 4, 344, 105);
constexpr QRect kBevel(9, 122, 34, 34);
constexpr QRect kIcon(10, 123, 32, 32);
constexpr QRect kProductLabel(49, 122, 290, 40);
constexpr QRect kOkButton(49, 224, 122, 33);
constexpr QRect kInfoButton(177, 224, 122, 33);
constexpr QSize kArrowSize(16, 16);
constexpr int kRainInterval = 50;
constexpr std::uint32_t kMenuReopenDelay = 100;

const QColor kBlack(0, 0, 0);
const QColor kWhite(255, 255, 255);
const QColor kLime(0, 255, 0);

// "%s" takes the argument once and "%%" is a percent sign, as in the
// design's format call; anything else a translation holds stays as written,
// so a damaged translation can only give an odd title, never a failure.
QString formatWithOneString(const QString& pattern, const QString& argument)
{
    QString result;
    bool argumentUsed = false;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern.at(i);
        if (c == u'%' && i + 1 < pattern.size()) {
            const QChar next = pattern.at(i + 1);
            if (next == u'%') {
                result += u'%';
                ++i;
                continue;
            }
            if (next == u's' && !argumentUsed) {
                result += argument;
                argumentUsed = true;
                ++i;
                continue;
            }
        }
        result += c;
    }
    return result;
}

QPixmap renderSvg(const QString& resource, QSize size, qreal ratio)
{
    QPixmap pixmap(size * ratio);
    pixmap.fill(Qt::transparent);
    QSvgRenderer renderer(resource);
    QPainter painter(&pixmap);
    renderer.render(&painter);
    painter.end();
    pixmap.setDevicePixelRatio(ratio);
    return pixmap;
}

QFont rainFont()
{
    // A cell is 12 pixels high; Tahoma's ascent and descent fill that at an
    // em of 10 pixels. Hard edges keep every painted pixel the drop's shade.
    QFont font = designFont(8);
    font.setPixelSize(10);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

// Buttons on the black panel: white text needs a dark face, and the focus
// must show without the platform's light frame.
const char* const kButtonStyle =
    "QPushButton { color: white; background-color: #202020; border: 1px solid #8c8c8c;"
    " border-radius: 2px; padding: 0 22px; }"
    "QPushButton:hover { background-color: #303030; }"
    "QPushButton:pressed { background-color: #000000; }"
    "QPushButton:focus { border: 2px solid #00ff00; }";

} // namespace

TAboutBox::TAboutBox(const ApplicationState& state, const Translator& translator,
                     const PlatformServices& services, const DataFiles& dataFiles, QWidget* parent)
    : QDialog(parent), state_(state), translator_(translator), services_(services), dataFiles_(dataFiles),
      guard_(services.messageBoxes, this),
      menuPresenter_([](QMenu& menu, const QPoint& screenPosition) { menu.exec(screenPosition); }),
      rain_(services.random)
{
    setObjectName("AboutBox");
    // A fixed-size window with a title and a close box only.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(kClientSize);
    setFont(designFont(8));
    QPalette black = palette();
    black.setColor(QPalette::Window, kBlack);
    black.setColor(QPalette::WindowText, kWhite);
    setPalette(black);
    setAutoFillBackground(false);
    // The rain is painted over the whole window, so Qt need not clear it first.
    setAttribute(Qt::WA_OpaquePaintEvent);

    buildPanel();
    buildButtons();
    buildLinks();

    tmTimer = new QTimer(this);
    tmTimer->setObjectName("tmTimer");
    connect(tmTimer, &QTimer::timeout, this, guard_.slot(this, &TAboutBox::tmTimerTimer));

    guard_.run([this] { FormCreate(); });
    centreOnScreen(*this);
}

TAboutBox::~TAboutBox() = default;

void TAboutBox::setMenuPresenter(MenuPresenter presenter)
{
    menuPresenter_ = std::move(presenter);
}

void TAboutBox::buildPanel()
{
    Panel1 = new QFrame(this);
    Panel1->setObjectName("Panel1");
    Panel1->setGeometry(kPanel);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setLineWidth(1);
    QPalette panel = palette();
    panel.setColor(QPalette::Light, QColor(192, 192, 192));
    panel.setColor(QPalette::Dark, QColor(96, 96, 96));
    Panel1->setPalette(panel);
    Panel1->setAutoFillBackground(true);

    Image2 = new QLabel(Panel1);
    Image2->setObjectName("Image2");
    Image2->setGeometry(kLogo);

    Bevel1 = new QFrame(Panel1);
    Bevel1->setObjectName("Bevel1");
    Bevel1->setGeometry(kBevel);
    Bevel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Bevel1->setLineWidth(1);

    Image1 = new QLabel(Panel1);
    Image1->setObjectName("Image1");
    Image1->setGeometry(kIcon);
    Image1->setAlignment(Qt::AlignCenter);

    Label2 = new QLabel(Panel1);
    Label2->setObjectName("Label2");
    Label2->setGeometry(kProductLabel);
    Label2->setTextFormat(Qt::PlainText);
    Label2->setWordWrap(true);
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label2->setFont(designFont(12));
}

void TAboutBox::buildButtons()
{
    BitBtn1 = new QPushButton(Panel1);
    BitBtn1->setObjectName("BitBtn1");
    BitBtn1->setGeometry(kOkButton);
    connect(BitBtn1, &QPushButton::clicked, this, guard_.slot(this, &TAboutBox::BitBtn1Click));

    BitBtn2 = new QPushButton(Panel1);
    BitBtn2->setObjectName("BitBtn2");
    BitBtn2->setGeometry(kInfoButton);
    connect(BitBtn2, &QPushButton::clicked, this, guard_.slot(this, &TAboutBox::BitBtn2Click));
    // The arrow sits at the button's right end, apart from the centred caption.
    auto* arrow = new QLabel(BitBtn2);
    arrow->setObjectName("BitBtn2Arrow");
    arrow->setGeometry(kInfoButton.width() - kArrowSize.width() - 8,
                       (kInfoButton.height() - kArrowSize.height()) / 2, kArrowSize.width(), kArrowSize.height());
    arrow->setAttribute(Qt::WA_TransparentForMouseEvents);

    for (QPushButton* button : {BitBtn1, BitBtn2}) {
        button->setFont(designFont(12));
        button->setStyleSheet(QLatin1String(kButtonStyle));
        pressWithEnter(button);
    }
    BitBtn1->setDefault(true);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName("PopupMenu1");
    Credits1 = PopupMenu1->addAction(QString());
    Credits1->setObjectName("Credits1");
    Howtouninstall1 = PopupMenu1->addAction(QString());
    Howtouninstall1->setObjectName("Howtouninstall1");
    LicensePrivacyPolicy1 = PopupMenu1->addAction(QString());
    LicensePrivacyPolicy1->setObjectName("LicensePrivacyPolicy1");
    connect(Credits1, &QAction::triggered, this, guard_.slot(this, &TAboutBox::Credits1Click));
    connect(Howtouninstall1, &QAction::triggered, this, guard_.slot(this, &TAboutBox::Howtouninstall1Click));
    connect(LicensePrivacyPolicy1, &QAction::triggered, this,
            guard_.slot(this, &TAboutBox::LicensePrivacyPolicy1Click));
}

void TAboutBox::buildLinks()
{
    Label5 = new LinkLabel(Panel1);
    Label5->setObjectName("Label5");
    QFont linkFont(QStringLiteral("MS Sans Serif"), 8);
    linkFont.setUnderline(true);
    Label5->setFont(linkFont);
    QPalette lime = Label5->palette();
    lime.setColor(QPalette::WindowText, kLime);
    Label5->setPalette(lime);
    Label5->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    // Along the panel's bottom edge, inside its one-pixel bevel.
    const int height = Label5->fontMetrics().height() + 2;
    Label5->setGeometry(1, kPanel.height() - 1 - height, kPanel.width() - 2, height);
    connect(Label5, &LinkLabel::activated, this, guard_.slot(this, &TAboutBox::Label5Click));

    setTabOrder(BitBtn1, BitBtn2);
    setTabOrder(BitBtn2, Label5);
}

// Handlers ------------------------------------------------------------------

void TAboutBox::FormCreate()
{
    startRain();
    setWindowTitle(formatWithOneString(translator_.Translate(QStringLiteral("About %s")), state_.AppProductName));
    renderArrowAndIcon();
    Label2->setText(state_.AppProductName + u' ' + state_.AppVersion);
    BitBtn1->setText(translator_.Translate(QStringLiteral("OK")));
    BitBtn2->setText(translator_.Translate(QStringLiteral("Info")));
    Credits1->setText(translator_.Translate(QStringLiteral("Acknowledgements...")));
    Howtouninstall1->setText(translator_.Translate(QStringLiteral("How to uninstall...")));
    LicensePrivacyPolicy1->setText(translator_.Translate(QStringLiteral("License...")));

    const QString serviceBase = ServiceBaseAddress();
    Label5->setText(serviceHostName(serviceBase));
    const QString hint = QStringLiteral("http://") + serviceBase + u'/';
    Label5->setToolTip(hint);
    Label5->setAccessibleDescription(hint);

    Image1->setAccessibleName(state_.AppProductName);
    Image2->setAccessibleName(state_.AppCompanyName);
    BitBtn1->setFocus();
    HighDPIImageYukle();
}

void TAboutBox::startRain()
{
    // Qt knows the frame only once the window is shown, so the grid spans
    // the client area, the only place the rain is seen.
    rain_.start(size());
    clearCanvas();
    tmTimer->setInterval(kRainInterval);
    tmTimer->start();
}

void TAboutBox::resetRain()
{
    clearCanvas();
    rain_.reset();
}

void TAboutBox::clearCanvas()
{
    const qreal ratio = devicePixelRatioF();
    outCanvas_ = QImage(size() * ratio, QImage::Format_RGB32);
    outCanvas_.setDevicePixelRatio(ratio);
    outCanvas_.fill(kBlack);
    update();
}

void TAboutBox::tmTimerTimer()
{
    paintRainCells(rain_.tick());
}

void TAboutBox::paintRainCells(const std::vector<RainCell>& cells)
{
    QPainter painter(&outCanvas_);
    painter.setFont(rainFont());
    const int baseline = painter.fontMetrics().ascent();
    for (const RainCell& cell : cells) {
        const QRect area(cell.column * MatrixRain::kCharWidth, cell.row * MatrixRain::kCharHeight,
                         MatrixRain::kCharWidth, MatrixRain::kCharHeight);
        painter.fillRect(area, kBlack);
        if (cell.erases())
            continue;
        painter.setPen(QColor::fromRgb(cell.color));
        painter.drawText(area.left(), area.top() + baseline, QString(cell.character));
    }
    painter.end();
    // Only the margin shows the rain; the panel covers the rest.
    update(QRegion(rect()) - QRegion(Panel1->geometry()));
}

void TAboutBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), kBlack);
    painter.drawImage(QPoint(0, 0), outCanvas_);
}

void TAboutBox::FormResize()
{
    resetRain();
}

void TAboutBox::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    // The first resize of a new window only delivers its designed size.
    if (event->oldSize().isValid() && event->oldSize() != event->size())
        guard_.run([this] { FormResize(); });
}

void TAboutBox::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    QWindow* window = windowHandle();
    if (!window || screenWatched_)
        return;
    screenWatched_ = true;
    connect(window, &QWindow::screenChanged, this, [this] {
        if (devicePixelRatioF() != picturesRatio_)
            guard_.run([this] { FormAfterMonitorDpiChanged(); });
    });
}

void TAboutBox::FormAfterMonitorDpiChanged()
{
    HighDPIImageYukle();
    renderArrowAndIcon();
    resetRain();
}

void TAboutBox::HighDPIImageYukle()
{
    picturesRatio_ = devicePixelRatioF();
    Image2->setPixmap(renderSvg(QStringLiteral(":/about/logo.svg"), kLogo.size(), picturesRatio_));
}

void TAboutBox::renderArrowAndIcon()
{
    const qreal ratio = devicePixelRatioF();
    Image1->setPixmap(QIcon(QStringLiteral(":/icons/pennolux.svg")).pixmap(kIcon.size(), ratio));
    auto* arrow = BitBtn2->findChild<QLabel*>("BitBtn2Arrow");
    arrow->setPixmap(renderSvg(QStringLiteral(":/about/arrow.svg"), kArrowSize, ratio));
}

// Dragging ------------------------------------------------------------------

void TAboutBox::FormMouseDown(Qt::MouseButton button, const QPoint& screenPosition)
{
    if (button == Qt::RightButton)
        return;
    // Wayland lets no program place its own window; the compositor moves it.
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")) && windowHandle() &&
        windowHandle()->startSystemMove())
        return;
    dragging_ = true;
    dragFrom_ = screenPosition;
}

void TAboutBox::FormMouseMove(const QPoint& screenPosition)
{
    if (!dragging_)
        return;
    move(pos() + screenPosition - dragFrom_);
    dragFrom_ = screenPosition;
}

void TAboutBox::FormMouseUp()
{
    dragging_ = false;
}

// The panel, the pictures and the product label take no mouse button
// themselves, so presses on them arrive here as well.
void TAboutBox::mousePressEvent(QMouseEvent* event)
{
    const Qt::MouseButton button = event->button();
    const QPoint at = event->globalPosition().toPoint();
    guard_.run([this, button, at] { FormMouseDown(button, at); });
    event->accept();
}

void TAboutBox::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint at = event->globalPosition().toPoint();
    guard_.run([this, at] { FormMouseMove(at); });
    event->accept();
}

void TAboutBox::mouseReleaseEvent(QMouseEvent* event)
{
    guard_.run([this] { FormMouseUp(); });
    event->accept();
}

// Buttons and links ---------------------------------------------------------

void TAboutBox::BitBtn1Click()
{
    close();
}

void TAboutBox::BitBtn2Click()
{
    const std::uint32_t now = services_.tickCount.milliseconds();
    // The press that closed the open menu arrives here as a click as well;
    // the unsigned difference survives the counter's wrap.
    if (lastDropDown_.button == BitBtn2 && lastDropDown_.menu == PopupMenu1 &&
        std::uint32_t(now - lastDropDown_.closedAt) < kMenuReopenDelay) {
        lastDropDown_ = {};
        return;
    }
    const QPoint below = BitBtn2->mapToGlobal(QPoint(0, BitBtn2->height()));
    menuPresenter_(*PopupMenu1, below);
    lastDropDown_ = {BitBtn2, PopupMenu1, services_.tickCount.milliseconds()};
}

void TAboutBox::openServicePage(const QString& scheme, const QString& path)
{
    // Only a web page on the maker's site is handed to the desktop.
    if (const auto address = serviceWebAddress(scheme, ServiceBaseAddress(), path))
        services_.shell.openUrl(*address);
}

void TAboutBox::Label5Click()
{
    openServicePage(QStringLiteral("http"), QStringLiteral("/"));
}

void TAboutBox::Credits1Click()
{
    openServicePage(QStringLiteral("https"), QStringLiteral("/blog/credits-and-acknowledgements/"));
}

void TAboutBox::Howtouninstall1Click()
{
    openServicePage(QStringLiteral("http"), QStringLiteral("/blog/how-to-uninstall-zantoph-software/"));
}

void TAboutBox::LicensePrivacyPolicy1Click()
{
    const QString licence = dataFiles_.findFile(QStringLiteral("license.txt"));
    if (licence.isEmpty()) {
        services_.messageBoxes.show(this, translator_.Translate(QStringLiteral("License")),
                                    translator_.Translate(QStringLiteral("File not found!")), MessageIcon::Error);
        return;
    }
    // The desktop's viewer for text files opens it; no program is named here.
    services_.shell.openFile(licence);
}

} // namespace pennolux
