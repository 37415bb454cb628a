#include "services/widgets/UpdateCheckWiring.h"

#include <QAction>
#include <QMenu>
#include <QTimer>
#include <QWidget>

#include "app/ApplicationState.h"
#include "app/settings/DataFolder.h"
#include "localisation/Translator.h"
#include "platform/desktop/SpecialFolders.h"
#include "platform/desktop/TlsTrust.h"
#include "services/check/TChecker.h"
#include "services/check/UiThreadNotice.h"
#include "services/check/UpdateCheckState.h"
#include "services/widgets/TNewVer.h"

namespace pennolux {

UpdateCheckWiring::UpdateCheckWiring(const ApplicationState& state, const Translator& translator,
                                     const PlatformServices& services, QWidget& window)
    : appState_(state), translator_(translator), services_(services), window_(window)
{
}

UpdateCheckWiring::~UpdateCheckWiring() = default;

TNewVer* UpdateCheckWiring::newVersionWindow() const
{
    return newVersionWindow_;
}

QTimer* UpdateCheckWiring::startTimer()
{
#if PENNOLUX_UPDATE_CHECK
    timer_ = new QTimer(&window_);
    timer_->setObjectName("TimerChecker");
    timer_->setInterval(1000);
    timer_->start();
#endif
    return timer_;
}

QAction* UpdateCheckWiring::addNotificationsSwitch(QMenu& helpMenu)
{
#if PENNOLUX_UPDATE_CHECK
    helpMenu.addSeparator();
    notificationsSwitch_ = helpMenu.addAction("Update Notifications");
    notificationsSwitch_->setCheckable(true);
    notificationsSwitch_->setChecked(true);
    notificationsSwitch_->setEnabled(false);
#else
    Q_UNUSED(helpMenu);
#endif
    return notificationsSwitch_;
}

void UpdateCheckWiring::startCheck()
{
#if PENNOLUX_UPDATE_CHECK
    const QString roaming = services_.specialFolders.roamingAppData();
    UpdateCheckInputs inputs;
    inputs.appTitle = appState_.AppTitle;
    inputs.appVersion = appState_.AppVersion;
    inputs.serviceBase = appState_.ServiceBaseAddress;
    inputs.storeFolder = roaming.isEmpty()
                             ? QString()
                             : perUserDataFolder(roaming, appState_.AppCompanyName, appState_.AppProductName);
    inputs.importantTitle = translator_.Translate("IMPORTANT");
    inputs.caBundleFile = services_.tlsTrust.caBundleFile();
    checkState_ = std::make_shared<UpdateCheckState>();
    importantNotice_ = std::make_unique<UiThreadNotice>(services_.messageBoxes, &window_);
    checker_ = std::make_unique<TChecker>(
        inputs,
        UpdateCheckPlatform{services_.machineIdentity, services_.systemInfo, services_.locale, services_.clock,
                            *importantNotice_},
        checkState_);
    checker_->start();
#endif
}

void UpdateCheckWiring::tick()
{
#if PENNOLUX_UPDATE_CHECK
    if (!started_) {
        started_ = true;
        startCheck();
        return;
    }
    if (!checkState_->CheckFinished.load(std::memory_order_acquire))
        return;
    timer_->stop();
    notificationsSwitch_->setEnabled(true);
    if (checkState_->showUpdateSetting == 0)
        notificationsSwitch_->setChecked(false);
    if (checkState_->ShowUpdateWindow && !newVersionWindow_) {
        NewVersionOffer offer{appState_.AppProductName, checkState_->ServerVersion, checkState_->DownloadLink,
                              appState_.ServiceBaseAddress, window_.windowIcon()};
        newVersionWindow_ = new TNewVer(translator_, services_.shell, offer, &window_);
    }
#endif
}

void UpdateCheckWiring::notificationsSwitched()
{
#if PENNOLUX_UPDATE_CHECK
    if (checkState_)
        checkState_->store.write("ShowUpdate", notificationsSwitch_->isChecked() ? "1" : "0");
#endif
}

} // namespace pennolux
