#include "platform/Locale.h"

#include <QLocale>
#include <QStringList>

#include <unicode/uloc.h>

namespace pennolux {

namespace {

// POSIX names carry a codeset and a modifier ("de_DE.UTF-8@euro") that mean
// nothing to a language id, and use '_' where BCP 47 wants '-'.
QString toLanguageTag(const QString& localeName)
{
    QString tag = localeName.trimmed();
    for (const QChar separator : {QChar('.'), QChar('@')}) {
        const qsizetype at = tag.indexOf(separator);
        if (at >= 0)
            tag.truncate(at);
    }
    tag.replace(QChar('_'), QChar('-'));
    return tag;
}

bool isPosixDefaultLocale(const QString& name)
{
    return name.isEmpty() || name == QLatin1String("C") || name == QLatin1String("POSIX");
}

} // namespace

std::optional<unsigned> windowsLanguageIdForTag(const QString& tag)
{
    const QString languageTag = toLanguageTag(tag);
    if (isPosixDefaultLocale(languageTag))
        return std::nullopt;

    // Going through the ICU locale id keeps the region: uloc_getLCID reads a
    // raw "de-DE" as plain "de" and answers the neutral id 7.
    const QByteArray tagBytes = languageTag.toUtf8();
    char localeId[ULOC_FULLNAME_CAPACITY] = {};
    int32_t parsedLength = 0;
    UErrorCode status = U_ZERO_ERROR;
    uloc_forLanguageTag(tagBytes.constData(), localeId, sizeof localeId, &parsedLength, &status);
    if (U_FAILURE(status) || status == U_STRING_NOT_TERMINATED_WARNING || localeId[0] == '\0')
        return std::nullopt;

    const uint32_t languageId = uloc_getLCID(localeId);
    if (languageId == 0)
        return std::nullopt;
    return languageId;
}

std::optional<unsigned> SystemLocale::uiLanguageId() const
{
    const QStringList languages = QLocale::system().uiLanguages();
    if (languages.isEmpty())
        return std::nullopt;
    return windowsLanguageIdForTag(languages.constFirst());
}

QString SystemLocale::isoLocaleName() const
{
    const QString name = QLocale::system().name();
    if (isPosixDefaultLocale(name))
        return QStringLiteral("xx");
    return QString(name).replace(QChar('_'), QChar('-'));
}

} // namespace pennolux
