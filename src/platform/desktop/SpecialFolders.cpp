#include "SpecialFolders.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace pennolux {

QString XdgSpecialFolders::desktop() const
{
    // QStandardPaths names a Desktop folder even where none was ever made;
    // a destination that does not exist would only fail later, at START.
    const QString desktopFolder = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    if (!desktopFolder.isEmpty() && QFileInfo(desktopFolder).isDir())
        return desktopFolder;
    return QDir::homePath();
}

QString XdgSpecialFolders::roamingAppData() const
{
    // Read afresh each time: XDG base directories ignore a relative XDG_CONFIG_HOME,
    // and the environment may change while the program runs (tests do).
    const QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!configHome.isEmpty() && QDir::isAbsolutePath(configHome))
        return configHome;
    const QString home = qEnvironmentVariable("HOME");
    if (home.isEmpty())
        return {};
    return home + "/.config";
}

} // namespace pennolux
