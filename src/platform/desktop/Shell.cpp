#include "Shell.h"

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

namespace pennolux {

// Nothing in the program depends on whether the desktop obliged, so every
// outcome below is dropped on purpose.

void DesktopShell::openUrl(const QString& address)
{
    QDesktopServices::openUrl(QUrl(address));
}

void DesktopShell::openFile(const QString& path)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void DesktopShell::startDetached(const QString& program, const QStringList& arguments)
{
    QProcess::startDetached(program, arguments);
}

} // namespace pennolux
