#pragma once

#include <QString>

#include "app/settings/IniDocument.h"
#include "app/web/OnlineHelp.h"

namespace pennolux {

// The process-wide values of start-up. Written while the main window is
// created; only BrowseFolder changes afterwards.
struct ApplicationState {
    QString AppCompanyName;
    QString AppProductName;
    QString AppTitle;       // company + " - " + product: the main window's caption
    QString AppVersion;     // "2.1"
    QString AppDataFolder;  // always ends in "/"
    IniDocument SettingsIni;
    QString BrowseFolder;   // where both destination pickers open
    // Host[:port] of the web service: the build's choice unless the maker of
    // the state (a test) points it elsewhere.
    QString ServiceBaseAddress = pennolux::ServiceBaseAddress();
};

} // namespace pennolux
