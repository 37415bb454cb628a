#include <QApplication>

#include <csignal>

#include "app/ApplicationSetup.h"
#include "app/ApplicationState.h"
#include "app/DataFiles.h"
#include "app/Startup.h"
#include "localisation/Translator.h"
#include "platform/system/Clock.h"
#include "platform/documents/DocumentImport.h"
#include "platform/desktop/Locale.h"
#include "platform/desktop/NamedLock.h"
#include "platform/PlatformServices.h"
#include "platform/system/RandomSource.h"
#include "platform/desktop/Shell.h"
#include "platform/system/MachineIdentity.h"
#include "platform/desktop/SpecialFolders.h"
#include "platform/system/SystemInfo.h"
#include "platform/system/TickCount.h"
#include "platform/desktop/TlsTrust.h"
#include "platform/widgets/QtBeeper.h"
#include "platform/widgets/QtDialogs.h"
#include "platform/widgets/QtMessageBoxes.h"
#include "ui/TAppForm.h"

using namespace pennolux;

int main(int argc, char** argv)
{
    // Beyond the file-size limit a write fails with EFBIG and is reported in
    // the error box, instead of the signal ending the program mid-file.
    std::signal(SIGXFSZ, SIG_IGN);
    // Announces the running application; a second instance starts all the same.
    NamedLock runningLock("ZANTOPH_Pennolux");

    QApplication application(argc, argv);
    setUpApplication(application);

    QtMessageBoxes messageBoxes;
    QtDialogs dialogs;
    DesktopShell shell;
    SystemLocale locale;
    XdgSpecialFolders specialFolders;
    DocumentReaders documents;
    SteadyTickCount tickCount;
    SystemRandomSource random;
    SystemClock clock;
    MachineIdFile machineIdentity;
    HostSystemInfo systemInfo;
    QtBeeper beeper;
    SystemTlsTrust tlsTrust;
    const PlatformServices services{messageBoxes, dialogs,   shell,  locale,          specialFolders,
                                    documents,    tickCount, random, clock,           machineIdentity,
                                    systemInfo,   beeper,    tlsTrust};

    const QString languages = DataFiles::forRunningProgram().findFolder("Languages");
    Translator translator(languages.isEmpty() ? QCoreApplication::applicationDirPath() + "/Languages" : languages,
                          locale);
    ApplicationState state;
    const QStringList startupErrors =
        initializeApplicationState(state, {QCoreApplication::applicationFilePath(), specialFolders, translator});

    TAppForm mainWindow(state, translator, services);
    mainWindow.reportStartupErrors(startupErrors);
    mainWindow.show();
    return application.exec();
}
