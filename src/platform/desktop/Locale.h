#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace pennolux {

class Locale {
public:
    virtual ~Locale() = default;
    // The user's UI language as a Windows language id (de-DE -> 1031);
    // nullopt when the language is unknown to ICU.
    virtual std::optional<unsigned> uiLanguageId() const = 0;
    // "de-DE" form; "xx" for the C/POSIX locale or any failure.
    virtual QString isoLocaleName() const = 0;
    // The single- or double-byte Windows code page of the user's language, as
    // an ICU converter name ("windows-1252"); what files without a BOM that
    // are not UTF-8 were most likely written in.
    virtual QByteArray legacyCodePage() const = 0;
};

// Windows language id of a BCP 47 tag or POSIX locale name ("de-DE", "de_DE.UTF-8").
std::optional<unsigned> windowsLanguageIdForTag(const QString& tag);

// The Windows ANSI code page of a language tag or POSIX locale name ("ru-RU",
// "sr_RS@latin", "zh-Hant"), as an ICU converter name; "windows-1252" for
// Western languages, the C/POSIX locale and anything unknown.
QByteArray legacyCodePageForLanguage(const QString& language);

class SystemLocale final : public Locale {
public:
    std::optional<unsigned> uiLanguageId() const override;
    QString isoLocaleName() const override;
    QByteArray legacyCodePage() const override;
};

} // namespace pennolux
