#include "app/ApplicationSetup.h"

#include <QGuiApplication>
#include <QLocale>

#include "platform/fonts/DesignFont.h"
#include "platform/desktop/QtTranslations.h"

namespace pennolux {

void setUpApplication(QGuiApplication& application)
{
    QGuiApplication::setApplicationName(QStringLiteral("Pennolux"));
    QGuiApplication::setOrganizationName(QStringLiteral("Zantoph"));
    // Ties the windows to the desktop entry and icon (the Wayland app id).
    QGuiApplication::setDesktopFileName(QStringLiteral(PENNOLUX_APP_ID));
    ensureDesignFontAvailable();
    installQtTranslations(application, QLocale::system());
}

} // namespace pennolux
