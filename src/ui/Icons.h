#pragma once

#include <QIcon>

namespace pennolux {

// One of the icons compiled into this library (resources/pennolux.qrc).
inline QIcon uiIcon(const char* name)
{
    return QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(name)));
}

} // namespace pennolux
