#pragma once

#include <QString>
#include <atomic>

#include "UpdateStore.h"
#include "services/requests/ServiceErrorLog.h"

namespace pennolux {

// What the check thread hands to the window. The thread writes every other
// value before it stores CheckFinished (release); the window reads none of
// them before it has loaded CheckFinished as true (acquire). No lock.
struct UpdateCheckState {
    std::atomic<bool> CheckFinished{false};
    bool ShowUpdateWindow = false;
    QString ServerVersion;
    QString DownloadLink;
    int showUpdateSetting = 1;
    UpdateStore store;        // the per-user store the check opened
    ServiceErrorLog errorLog; // the check's own; nothing shows it
};

} // namespace pennolux
