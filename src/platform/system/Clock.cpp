#include "Clock.h"

#include <QDate>
#include <QLocale>

namespace pennolux {

QString SystemClock::localShortDate() const
{
    return QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat);
}

} // namespace pennolux
