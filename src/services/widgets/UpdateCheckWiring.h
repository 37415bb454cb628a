#pragma once

#include <QPointer>
#include <memory>

#include "platform/PlatformServices.h"

class QAction;
class QMenu;
class QTimer;
class QWidget;

namespace pennolux {

struct ApplicationState;
class TChecker;
class TNewVer;
class Translator;
class UiThreadNotice;
struct UpdateCheckState;

// The update check as the main window runs it: a timer whose first tick
// starts the check on its own thread and whose later ticks wait for its
// result, the Help menu's "Update Notifications" switch, and the window
// announcing a newer version. A build without the check makes neither the
// timer nor the switch, and nothing here ever contacts the service.
// Destroying this abandons the check and joins its thread.
class UpdateCheckWiring {
public:
    // The window parents the timer, the notice boxes and the announcement,
    // and must outlive this object; the state is read when the check starts.
    UpdateCheckWiring(const ApplicationState& state, const Translator& translator, const PlatformServices& services,
                      QWidget& window);
    ~UpdateCheckWiring();
    UpdateCheckWiring(const UpdateCheckWiring&) = delete;
    UpdateCheckWiring& operator=(const UpdateCheckWiring&) = delete;

    // The running timer whose ticks go to tick(); null without the check.
    QTimer* startTimer();
    // A separator and the switch, off until the check has read the stored
    // choice; null without the check.
    QAction* addNotificationsSwitch(QMenu& helpMenu);

    void tick();
    // Qt has already moved the check mark when the switch is triggered; the
    // store follows it, through the file the check opened. Takes effect at
    // the next start.
    void notificationsSwitched();

    // Whether the first tick has started the check.
    const bool& started() const { return started_; }
    // The check's results; null until the first tick has started it.
    const UpdateCheckState* state() const { return checkState_.get(); }
    TNewVer* newVersionWindow() const;

private:
    void startCheck();

    const ApplicationState& appState_;
    const Translator& translator_;
    PlatformServices services_;
    QWidget& window_;
    QTimer* timer_ = nullptr;
    QAction* notificationsSwitch_ = nullptr;
    bool started_ = false;
    std::shared_ptr<UpdateCheckState> checkState_;
    QPointer<TNewVer> newVersionWindow_;
    // Declared last: the thread is abandoned and joined before the notice
    // it may be waiting on goes.
    std::unique_ptr<UiThreadNotice> importantNotice_;
    std::unique_ptr<TChecker> checker_;
};

} // namespace pennolux
