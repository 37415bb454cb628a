#pragma once

#include <QIcon>
#include <QPointer>
#include <QWidget>

class QFrame;
class QLabel;
class QPropertyAnimation;
class QPushButton;
class QTimer;

namespace pennolux {

class NoticeLink;
class Shell;
class Translator;

// What the update window announces.
struct NewVersionOffer {
    QString productName;
    QString serverVersion;
    QString downloadLink;
    QString serviceBase; // host[:port]: its home page stands in for a missing or unsafe link
    QIcon appIcon;
};

// The update-available notification: a small borderless window at the top
// right of the primary screen that opens itself with an animation, names the
// offered version, opens the download address when its link is clicked, and
// goes away by itself after eleven seconds. It never takes the focus from
// the main window, and it can be dragged.
class TNewVer final : public QWidget {
    Q_OBJECT
public:
    TNewVer(const Translator& translator, Shell& shell, NewVersionOffer offer, QWidget* mainWindow);
    ~TNewVer() override;

    void TimerStartTimer();
    void TimerCloseTimer();
    void TimerLinkTimer();
    void Label2Click();
    void Button1Click();

    int countdown() const { return countdown_; }
    // True from the opening animation until the window is closed.
    bool isShownAsNotice() const { return shown_; }

    QFrame* Panel1 = nullptr;
    QLabel* Image1 = nullptr;
    QWidget* Panel2 = nullptr;
    QLabel* Label1 = nullptr;
    NoticeLink* Label2 = nullptr;
    QWidget* Panel3 = nullptr;
    QPushButton* Button1 = nullptr;
    QTimer* TimerStart = nullptr;
    QTimer* TimerClose = nullptr;
    QTimer* TimerLink = nullptr;

    bool Dragging = false;
    int DragStartX = 0;
    int DragStartY = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormMouseDown(Qt::MouseButton button, QPoint screenPosition);
    void FormMouseMove(QPoint screenPosition);
    void FormMouseUp();
    void animate(QRect from, QRect to, bool closing);

    Shell& shell_;
    NewVersionOffer offer_;
    QPointer<QWidget> mainWindow_;
    QPointer<QPropertyAnimation> animation_;
    int countdown_ = 11;
    bool shown_ = false;
};

} // namespace pennolux
