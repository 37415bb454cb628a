#pragma once

#include <QDialog>
#include <QImage>
#include <QPoint>
#include <cstdint>
#include <functional>

#include "app/DataFiles.h"
#include "platform/PlatformServices.h"
#include "platform/HandlerGuard.h"
#include "ui/about/MatrixRain.h"

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QPushButton;
class QTimer;

namespace pennolux {

struct ApplicationState;
class LinkLabel;
class Translator;

// The About window: product, version, icon and logo on a black panel, a link
// to the maker's site and a menu of further links, with falling characters in
// the black margin around the panel. It can be dragged by its body.
class TAboutBox : public QDialog {
    Q_OBJECT
public:
    TAboutBox(const ApplicationState& state, const Translator& translator, const PlatformServices& services,
              const DataFiles& dataFiles, QWidget* parent = nullptr);
    ~TAboutBox() override;

    // Opens menu at a screen position and returns once it has closed.
    using MenuPresenter = std::function<void(QMenu& menu, const QPoint& screenPosition)>;
    void setMenuPresenter(MenuPresenter presenter);

    // Handlers.
    void FormCreate();
    void tmTimerTimer();
    void FormResize();
    void FormMouseDown(Qt::MouseButton button, const QPoint& screenPosition);
    void FormMouseMove(const QPoint& screenPosition);
    void FormMouseUp();
    void BitBtn1Click();
    void BitBtn2Click();
    void Label5Click();
    void Credits1Click();
    void Howtouninstall1Click();
    void LicensePrivacyPolicy1Click();
    void HighDPIImageYukle();
    void FormAfterMonitorDpiChanged();

    const MatrixRain& rain() const { return rain_; }
    // The window's own surface, on which the rain is painted.
    const QImage& outCanvas() const { return outCanvas_; }
    bool isDragging() const { return dragging_; }

    QFrame* Panel1 = nullptr;
    QLabel* Image2 = nullptr;
    QFrame* Bevel1 = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* Label2 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPushButton* BitBtn2 = nullptr;
    LinkLabel* Label5 = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QAction* Credits1 = nullptr;
    QAction* Howtouninstall1 = nullptr;
    QAction* LicensePrivacyPolicy1 = nullptr;
    QTimer* tmTimer = nullptr;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void buildPanel();
    void buildButtons();
    void buildLinks();
    void renderArrowAndIcon();
    void startRain();
    void resetRain();
    void clearCanvas();
    void paintRainCells(const std::vector<RainCell>& cells);
    void openServicePage(const QString& scheme, const QString& path);
    void centreOnScreen();

    // The last time the links menu dropped down, for the rule that a click
    // on "Info" which merely closed the open menu does not reopen it.
    struct DropDown {
        const QPushButton* button = nullptr;
        const QMenu* menu = nullptr;
        std::uint32_t closedAt = 0;
    };

    const ApplicationState& state_;
    const Translator& translator_;
    PlatformServices services_;
    DataFiles dataFiles_;
    HandlerGuard guard_;
    MenuPresenter menuPresenter_;
    MatrixRain rain_;
    QImage outCanvas_;
    qreal picturesRatio_ = 0;
    bool screenWatched_ = false;
    bool dragging_ = false;
    QPoint dragFrom_;
    DropDown lastDropDown_;
};

} // namespace pennolux
