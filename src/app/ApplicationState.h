#pragma once

#include <QString>

#include "IniDocument.h"

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
};

} // namespace pennolux
