#pragma once

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
};

// Windows language id of a BCP 47 tag or POSIX locale name ("de-DE", "de_DE.UTF-8").
std::optional<unsigned> windowsLanguageIdForTag(const QString& tag);

class SystemLocale final : public Locale {
public:
    std::optional<unsigned> uiLanguageId() const override;
    QString isoLocaleName() const override;
};

} // namespace pennolux
