#include "platform/desktop/Locale.h"

#include <gtest/gtest.h>

namespace pennolux {
namespace {

struct TagCase {
    const char* tag;
    std::optional<unsigned> languageId;
};

class LanguageIdTest : public ::testing::TestWithParam<TagCase> {};

TEST_P(LanguageIdTest, MapsTagToWindowsLanguageId)
{
    EXPECT_EQ(windowsLanguageIdForTag(QString::fromUtf8(GetParam().tag)), GetParam().languageId);
}

INSTANTIATE_TEST_SUITE_P(Tags, LanguageIdTest,
    ::testing::Values(
        TagCase{"de-DE", 1031u},
        TagCase{"de_DE.UTF-8", 1031u},
        TagCase{"de_DE.UTF-8@euro", 1031u},
        TagCase{"en_US", 1033u},
        TagCase{"tr-TR", 1055u},
        TagCase{"fr-CA", 3084u},
        TagCase{"de", 7u},
        TagCase{"C", std::nullopt},
        TagCase{"POSIX", std::nullopt},
        TagCase{"", std::nullopt},
        TagCase{"xx-YY", std::nullopt}));

} // namespace
} // namespace pennolux
