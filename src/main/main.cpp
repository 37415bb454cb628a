#include <QApplication>

#include <QFileInfo>
#include <csignal>
#include <cstdio>

#include "CommandLine.h"
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

namespace {

QStringList argumentsOf(int argc, char** argv)
{
    QStringList arguments;
    for (int index = 1; index < argc; ++index)
        arguments << QString::fromLocal8Bit(argv[index]);
    return arguments;
}

void print(std::FILE* stream, const QString& text)
{
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stream);
}

} // namespace

int main(int argc, char** argv)
{
    // Answered before the application object exists: that would need a display.
    switch (earlyAnswerOf(argumentsOf(argc, argv))) {
    case EarlyAnswer::Help: print(stdout, windowHelpText()); return 0;
    case EarlyAnswer::Version:
        print(stdout, windowVersionText(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath()));
        return 0;
    case EarlyAnswer::None: break;
    }

    // Beyond the file-size limit a write fails with EFBIG and is reported in
    // the error box, instead of the signal ending the program mid-file.
    std::signal(SIGXFSZ, SIG_IGN);
    // Announces the running application; a second instance starts all the same.
    NamedLock runningLock("ZANTOPH_Pennolux");

    QApplication application(argc, argv);
    // Qt has taken its own options out of argv by now.
    const WindowFiles commandLine = windowFilesOf(argumentsOf(argc, argv));
    if (!commandLine.unknownOption.isEmpty()) {
        print(stderr, QStringLiteral("pennolux: unknown option %1\nTry 'pennolux --help'.\n")
                          .arg(commandLine.unknownOption));
        return 2;
    }
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
    if (!commandLine.files.isEmpty()) {
        // Opened once the window is up, so a message about a file has it to sit on.
        QMetaObject::invokeMethod(
            &mainWindow, [&mainWindow, &commandLine] { mainWindow.openFiles(commandLine.files); },
            Qt::QueuedConnection);
    }
    return application.exec();
}
