#include "UpdateRules.h"

#include <QUrl>

#include "UpdateStore.h"

namespace pennolux {

bool dailyLimitReached(const QString& lastCheck, int lastCount, const QString& today)
{
    return lastCheck == today && lastCount >= kAnswersPerDay;
}

int nextDailyCount(const QString& lastCheck, int lastCount, const QString& today)
{
    return lastCheck == today ? lastCount + 1 : 1;
}

bool offersOtherVersion(const QString& serverVersion, const QString& appVersion)
{
    if (serverVersion == appVersion)
        return false;
    int number = 0;
    return parseWholeNumber(QString(serverVersion).remove(u'.'), number);
}

bool shouldShowUpdateWindow(const UpdateOffer& offer)
{
    return offersOtherVersion(offer.serverVersion, offer.appVersion) && offer.showUpdate == 1 &&
           (offer.lastCheck != offer.today || offer.count < kAnswersPerDay);
}

bool answerValuesFit(const QString& serverVersion, const QString& downloadLink)
{
    return serverVersion.size() <= kLongestServerVersion && downloadLink.size() <= kLongestDownloadLink;
}

QString downloadAddress(const QString& downloadLink, const QString& serviceBase)
{
    const QUrl url(downloadLink, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    const bool web = scheme == QLatin1String("http") || scheme == QLatin1String("https");
    if (url.isValid() && web && !url.host().isEmpty())
        return downloadLink;
    return QStringLiteral("http://") + serviceBase;
}

} // namespace pennolux
