#pragma once

#include <QString>

namespace pennolux {

// Answers accepted on one calendar day after which the service is left alone.
inline constexpr int kAnswersPerDay = 5;

// True when today's answers are used up: the stored date is today's text
// exactly and its count has reached the limit.
bool dailyLimitReached(const QString& lastCheck, int lastCount, const QString& today);

// The count to store after an accepted answer: one more on the same day, 1 on another.
int nextDailyCount(const QString& lastCheck, int lastCount, const QString& today);

// The service offers another version: the texts differ and the offered one,
// without its dots, is a whole number ("1.5.0" is 150; letters or nothing are not).
bool offersOtherVersion(const QString& serverVersion, const QString& appVersion);

struct UpdateOffer {
    QString serverVersion;
    QString appVersion;
    int showUpdate = 1;   // the stored setting: only 1 shows the window
    QString lastCheck;    // as read before the exchange
    QString today;
    int count = 0;        // the count stored after this answer
};

bool shouldShowUpdateWindow(const UpdateOffer& offer);

// The longest offered version and download address an answer may carry;
// the store keeps both, and must stay small enough to be read back. A
// version is a few numbers; browsers and servers take addresses of about
// 2,000 characters.
inline constexpr qsizetype kLongestServerVersion = 32;
inline constexpr qsizetype kLongestDownloadLink = 2048;

// The longest part of the service's notice that is shown; the rest is cut
// with "…". A notice is a few sentences, read in a message box.
inline constexpr qsizetype kLongestNoticeShown = 2000;

// Both values are within their limits; an answer with a longer one is no
// usable answer.
bool answerValuesFit(const QString& serverVersion, const QString& downloadLink);

// The address the update window opens: the download address when it is an
// http or https address, else the service's home page over plain http.
QString downloadAddress(const QString& downloadLink, const QString& serviceBase);

} // namespace pennolux
