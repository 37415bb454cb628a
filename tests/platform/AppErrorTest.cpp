#include <gtest/gtest.h>

#include "platform/AppError.h"

namespace pennolux {
namespace {

TEST(StandardErrorText, AppendsAPeriodOnlyAfterCharactersSortingAfterIt)
{
    const std::pair<QString, QString> cases[] = {
        {"", ""},
        {"Disk full", "Disk full."},
        {"Disk full.", "Disk full."},
        {"Failed!", "Failed!"},          // '!' sorts before '.'
        {"Failed (2)", "Failed (2)"},    // ')' too
        {"/tmp/out/", "/tmp/out/."},     // '/' sorts after '.'
        {"code 7", "code 7."},
        {QString::fromUtf8("Größe ü"), QString::fromUtf8("Größe ü.")},
    };
    for (const auto& [message, expected] : cases)
        EXPECT_EQ(standardErrorText(message), expected) << message.toStdString();
}

TEST(FileCreateError, NamesThePathInQuotesThenTheReason)
{
    EXPECT_EQ(fileCreateError("/x/settings.ini", "No space left on device").message(),
              "Cannot create file \"/x/settings.ini\". No space left on device");
}

} // namespace
} // namespace pennolux
