#pragma once

#include "platform/desktop/Locale.h"

namespace pennolux::testing {

class FakeLocale final : public Locale {
public:
    std::optional<unsigned> uiLanguageId() const override { return languageId; }
    QString isoLocaleName() const override { return isoName; }
    QByteArray legacyCodePage() const override { return codePage; }

    std::optional<unsigned> languageId = 1033;
    QString isoName = "en-US";
    QByteArray codePage = "windows-1252";
};

} // namespace pennolux::testing
