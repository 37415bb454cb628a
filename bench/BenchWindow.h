// The main window as a benchmark runs it: the machine's own services, but for
// the message boxes, which the benchmark brings so that no box waits for a
// click, and the document readers, which plain-text lists never ask for.
#pragma once

#include <QString>

#include "app/ApplicationState.h"
#include "localisation/Translator.h"
#include "platform/MessageBoxes.h"
#include "platform/PlatformServices.h"
#include "platform/desktop/Locale.h"
#include "platform/desktop/Shell.h"
#include "platform/desktop/SpecialFolders.h"
#include "platform/desktop/TlsTrust.h"
#include "platform/documents/DocumentImport.h"
#include "platform/system/Clock.h"
#include "platform/system/MachineIdentity.h"
#include "platform/system/RandomSource.h"
#include "platform/system/SystemInfo.h"
#include "platform/system/TickCount.h"
#include "platform/widgets/QtBeeper.h"
#include "platform/widgets/QtDialogs.h"
#include "ui/TAppForm.h"

namespace bench {

class NoDocumentReaders : public pennolux::DocumentImport {
public:
    bool WordInstalled(const QString&) const override { return false; }
    QString GetWordText(const QString&) const override { return {}; }
};

class BenchWindow {
public:
    explicit BenchWindow(pennolux::MessageBoxes& messageBoxes)
        : services{messageBoxes, dialogs,   shell,  locale, specialFolders,
                   documents,    tickCount, random, clock,  machineIdentity,
                   systemInfo,   beeper,    tlsTrust},
          translator(QString(), locale), state(benchState()), window(state, translator, services)
    {
    }

    pennolux::TAppForm& form() { return window; }

private:
    static pennolux::ApplicationState benchState()
    {
        pennolux::ApplicationState state;
        state.AppTitle = "Zantoph - Pennolux";
        // The window's update check may start while the benchmark works: it
        // finds nothing listening on this local port and stops.
        state.ServiceBaseAddress = "127.0.0.1:9";
        return state;
    }

    pennolux::QtDialogs dialogs;
    pennolux::DesktopShell shell;
    pennolux::SystemLocale locale;
    pennolux::XdgSpecialFolders specialFolders;
    NoDocumentReaders documents;
    pennolux::SteadyTickCount tickCount;
    pennolux::SystemRandomSource random;
    pennolux::SystemClock clock;
    pennolux::MachineIdFile machineIdentity;
    pennolux::HostSystemInfo systemInfo;
    pennolux::QtBeeper beeper;
    pennolux::SystemTlsTrust tlsTrust;
    const pennolux::PlatformServices services;
    pennolux::Translator translator;
    pennolux::ApplicationState state;
    pennolux::TAppForm window;
};

} // namespace bench
