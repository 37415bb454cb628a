#include "WebAddress.h"

#include <QUrl>

namespace pennolux {

namespace {

// Parses "http://" + serviceBase strictly; nullopt when it is more than a
// host and an optional port.
std::optional<QUrl> parsedBase(const QString& serviceBase)
{
    const QUrl url(QStringLiteral("http://") + serviceBase, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty() || !url.userInfo().isEmpty() || !url.path().isEmpty() ||
        url.hasQuery() || url.hasFragment())
        return std::nullopt;
    if (url.authority(QUrl::FullyEncoded).compare(serviceBase, Qt::CaseInsensitive) != 0)
        return std::nullopt;
    return url;
}

} // namespace

std::optional<QString> serviceWebAddress(const QString& scheme, const QString& serviceBase, const QString& path)
{
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https"))
        return std::nullopt;
    if (!parsedBase(serviceBase))
        return std::nullopt;
    const QString address = scheme + QStringLiteral("://") + serviceBase + path;
    const QUrl url(address, QUrl::StrictMode);
    if (!url.isValid() || url.scheme() != scheme || url.path(QUrl::FullyEncoded) != path || url.hasQuery() ||
        url.hasFragment())
        return std::nullopt;
    return address;
}

QString serviceHostName(const QString& serviceBase)
{
    const auto url = parsedBase(serviceBase);
    return url ? url->host(QUrl::FullyEncoded) : QString();
}

} // namespace pennolux
