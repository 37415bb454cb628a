#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "platform/fonts/DesignFont.h"

int main(int argc, char** argv)
{
    // No test may need a display or block on a window.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // A home of the run's own, so a test without the isolated-home fixture
    // still cannot touch the real user's files.
    QTemporaryDir home;
    QDir(home.path()).mkpath(".config");
    QDir(home.path()).mkpath("runtime");
    QFile::setPermissions(home.path() + "/runtime", QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                        QFileDevice::ExeOwner);
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (home.path() + "/.config").toUtf8());
    qputenv("XDG_RUNTIME_DIR", (home.path() + "/runtime").toUtf8());
    QApplication application(argc, argv);
    QApplication::setApplicationName("Pennolux");
    QApplication::setOrganizationName("Zantoph");
    pennolux::ensureDesignFontAvailable();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
