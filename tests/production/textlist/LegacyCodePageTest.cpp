#include "platform/desktop/Locale.h"

#include <gtest/gtest.h>

namespace pennolux {
namespace {

struct LanguagePage {
    const char* language;
    const char* codePage;
};

TEST(LegacyCodePageTest, EachLanguageGetsTheWindowsPageOfItsScript)
{
    const LanguagePage cases[] = {
        {"", "windows-1252"},
        {"C", "windows-1252"},
        {"POSIX", "windows-1252"},
        {"C.UTF-8", "windows-1252"},
        {"en_US.UTF-8", "windows-1252"},
        {"de-DE", "windows-1252"},
        {"fr_FR@euro", "windows-1252"},
        {"ca_ES@valencia", "windows-1252"},
        {"nb-NO", "windows-1252"},
        {"hi_IN", "windows-1252"},
        {"xx-unknown", "windows-1252"},
        {"cs_CZ", "windows-1250"},
        {"pl-PL", "windows-1250"},
        {"hu", "windows-1250"},
        {"sq_AL", "windows-1250"},
        {"sr-Latn-RS", "windows-1250"},
        {"sr_RS@latin", "windows-1250"},
        {"bs-BA", "windows-1250"},
        {"sr_RS", "windows-1251"},
        {"sr-Cyrl-BA", "windows-1251"},
        {"ru_RU.UTF-8", "windows-1251"},
        {"uk-UA", "windows-1251"},
        {"kk_KZ", "windows-1251"},
        {"mn-MN", "windows-1251"},
        {"az-Cyrl", "windows-1251"},
        {"uz_UZ@cyrillic", "windows-1251"},
        {"el_GR", "windows-1253"},
        {"tr_TR", "windows-1254"},
        {"az-AZ", "windows-1254"},
        {"he_IL", "windows-1255"},
        {"yi", "windows-1255"},
        {"ar-EG", "windows-1256"},
        {"fa_IR", "windows-1256"},
        {"ur-PK", "windows-1256"},
        {"et_EE", "windows-1257"},
        {"lv-LV", "windows-1257"},
        {"lt", "windows-1257"},
        {"vi_VN", "windows-1258"},
        {"th_TH", "windows-874"},
        {"ja_JP.UTF-8", "windows-31j"},
        {"ko-KR", "windows-949"},
        {"zh_CN", "GBK"},
        {"zh-SG", "GBK"},
        {"zh_TW", "Big5"},
        {"zh-HK", "Big5"},
        {"zh-Hant", "Big5"},
    };
    for (const LanguagePage& c : cases) {
        SCOPED_TRACE(c.language);
        EXPECT_EQ(legacyCodePageForLanguage(QString::fromLatin1(c.language)), QByteArray(c.codePage));
    }
}

} // namespace
} // namespace pennolux
