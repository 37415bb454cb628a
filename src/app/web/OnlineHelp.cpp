#include "OnlineHelp.h"

namespace pennolux {

QString ServiceBaseAddress()
{
    return QStringLiteral(PENNOLUX_SERVICE_BASE);
}

QString onlineHelpAddress(const QString& serviceBase, const QString& productName)
{
    const QString slug = productName.toLower().replace(u' ', u'-');
    return QStringLiteral("http://") + serviceBase + QStringLiteral("/help/") + slug + u'/';
}

} // namespace pennolux
