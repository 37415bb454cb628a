#include "platform/desktop/Locale.h"

#include <QHash>
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

struct LanguageAndScript {
    QByteArray language;
    QByteArray script;
};

// glibc spells a script as a modifier ("sr_RS@latin", "uz_UZ@cyrillic");
// BCP 47 wants it as a subtag after the language.
QString withScriptFromModifier(const QString& localeName)
{
    const qsizetype at = localeName.indexOf(QChar('@'));
    if (at < 0)
        return localeName;
    const QString modifier = localeName.mid(at + 1).toLower();
    const QString script = modifier == QLatin1String("latin")      ? QStringLiteral("Latn")
                           : modifier == QLatin1String("cyrillic") ? QStringLiteral("Cyrl")
                                                                   : QString();
    QStringList subtags = toLanguageTag(localeName).split(QChar('-'));
    const bool hasScript = subtags.size() > 1 && subtags.at(1).size() == 4;
    if (!script.isEmpty() && !hasScript)
        subtags.insert(1, script);
    return subtags.join(QChar('-'));
}

QByteArray icuPart(const char* localeId, int32_t (*part)(const char*, char*, int32_t, UErrorCode*))
{
    char buffer[ULOC_FULLNAME_CAPACITY] = {};
    UErrorCode status = U_ZERO_ERROR;
    part(localeId, buffer, sizeof buffer, &status);
    if (U_FAILURE(status))
        return {};
    return QByteArray(buffer).toLower();
}

// The language with its script, the script filled in by ICU's likely
// subtags when the tag leaves it out: "sr" is Cyrillic, "zh-TW" Traditional.
LanguageAndScript likelyLanguageAndScript(const QString& localeName)
{
    const QByteArray tag = toLanguageTag(withScriptFromModifier(localeName)).toUtf8();
    char localeId[ULOC_FULLNAME_CAPACITY] = {};
    int32_t parsedLength = 0;
    UErrorCode status = U_ZERO_ERROR;
    uloc_forLanguageTag(tag.constData(), localeId, sizeof localeId, &parsedLength, &status);
    if (U_FAILURE(status) || localeId[0] == '\0')
        return {tag.split('-').constFirst().toLower(), {}};

    char maximised[ULOC_FULLNAME_CAPACITY] = {};
    status = U_ZERO_ERROR;
    uloc_addLikelySubtags(localeId, maximised, sizeof maximised, &status);
    const char* best = U_SUCCESS(status) && status != U_STRING_NOT_TERMINATED_WARNING ? maximised : localeId;
    return {icuPart(best, uloc_getLanguage), icuPart(best, uloc_getScript)};
}

QByteArray codePageForScript(const QByteArray& script)
{
    static const QHash<QByteArray, QByteArray> kPages = {
        {"cyrl", "windows-1251"}, {"grek", "windows-1253"}, {"hebr", "windows-1255"},
        {"arab", "windows-1256"}, {"thai", "windows-874"},  {"jpan", "windows-31j"},
        {"kore", "windows-949"},  {"hans", "GBK"},          {"hant", "Big5"},
    };
    return kPages.value(script);
}

// Latin-script languages whose Windows code page is not the Western one.
QByteArray codePageForLatinLanguage(const QByteArray& language)
{
    static const QHash<QByteArray, QByteArray> kPages = {
        {"cs", "windows-1250"}, {"pl", "windows-1250"}, {"hu", "windows-1250"}, {"sk", "windows-1250"},
        {"sl", "windows-1250"}, {"hr", "windows-1250"}, {"ro", "windows-1250"}, {"sq", "windows-1250"},
        {"bs", "windows-1250"}, {"sr", "windows-1250"}, {"tk", "windows-1250"}, {"tr", "windows-1254"},
        {"az", "windows-1254"}, {"uz", "windows-1254"}, {"et", "windows-1257"}, {"lv", "windows-1257"},
        {"lt", "windows-1257"}, {"vi", "windows-1258"},
    };
    return kPages.value(language);
}

// For the few names ICU might not maximise: the language alone decides.
QByteArray codePageForLanguageAlone(const QByteArray& language)
{
    static const QHash<QByteArray, QByteArray> kPages = {
        {"ru", "windows-1251"}, {"uk", "windows-1251"}, {"bg", "windows-1251"}, {"be", "windows-1251"},
        {"mk", "windows-1251"}, {"kk", "windows-1251"}, {"ky", "windows-1251"}, {"tg", "windows-1251"},
        {"mn", "windows-1251"}, {"el", "windows-1253"}, {"he", "windows-1255"}, {"iw", "windows-1255"},
        {"yi", "windows-1255"}, {"ji", "windows-1255"}, {"ar", "windows-1256"}, {"fa", "windows-1256"},
        {"ur", "windows-1256"}, {"th", "windows-874"},  {"ja", "windows-31j"},  {"ko", "windows-949"},
        {"zh", "GBK"},
    };
    return kPages.value(language);
}

const QByteArray kWesternCodePage = "windows-1252";

} // namespace

QByteArray legacyCodePageForLanguage(const QString& language)
{
    if (isPosixDefaultLocale(toLanguageTag(language)))
        return kWesternCodePage;
    const LanguageAndScript likely = likelyLanguageAndScript(language);
    for (const QByteArray& page : {codePageForScript(likely.script), codePageForLatinLanguage(likely.language),
                                   codePageForLanguageAlone(likely.language)}) {
        if (!page.isEmpty())
            return page;
    }
    return kWesternCodePage;
}

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

QByteArray SystemLocale::legacyCodePage() const
{
    // The character-type locale as the C library picks it: QLocale reads
    // LC_NUMERIC instead and drops the "@latin" that makes Serbian Latin.
    for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const QString name = qEnvironmentVariable(variable);
        if (!name.isEmpty())
            return legacyCodePageForLanguage(name);
    }
    const QLocale system = QLocale::system();
    if (system.language() == QLocale::C)
        return kWesternCodePage;
    QString tag = QLocale::languageToCode(system.language());
    if (system.script() != QLocale::AnyScript)
        tag += u'-' + QLocale::scriptToCode(system.script());
    if (system.territory() != QLocale::AnyTerritory)
        tag += u'-' + QLocale::territoryToCode(system.territory());
    return legacyCodePageForLanguage(tag);
}

} // namespace pennolux
