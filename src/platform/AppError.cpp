#include "AppError.h"

namespace pennolux {

AppError fileOpenError(const QString& path, const QString& reason)
{
    return AppError(QStringLiteral("Cannot open file \"") + path + QStringLiteral("\". ") + reason);
}

AppError fileCreateError(const QString& path, const QString& reason)
{
    return AppError(QStringLiteral("Cannot create file \"") + path + QStringLiteral("\". ") + reason);
}

QString standardErrorText(const QString& message)
{
    if (!message.isEmpty() && message.back() > u'.')
        return message + u'.';
    return message;
}

} // namespace pennolux
