#include <gtest/gtest.h>

#include "FakeLocale.h"
#include "FakeMachineIdentity.h"
#include "platform/AppError.h"
#include "platform/system/SystemInfo.h"
#include "services/requests/IdentityFields.h"

namespace pennolux {
namespace {

TEST(OsDescription, DesignedFormatsWithAndWithoutServicePack)
{
    OsFacts facts{"Debian GNU/Linux 12", 6, 1, 0, 0, true};
    EXPECT_EQ(OsDescription(facts), "Debian GNU/Linux 12 (Version 6.1, Build 0, 64-bit Edition)");
    facts.is64Bit = false;
    facts.servicePack = 2;
    facts.productName = "Odd %1 %2 Name";
    EXPECT_EQ(OsDescription(facts), "Odd %1 %2 Name Service Pack 2 (Version 6.1, Build 0, 32-bit Edition)");
}

TEST(LocaleCode, XxWhenTheLocaleHasNoCode)
{
    testing::FakeLocale locale;
    locale.isoName = "de-DE";
    EXPECT_EQ(LocaleCode(locale), "de-DE");
    locale.isoName = "xx";
    EXPECT_EQ(LocaleCode(locale), "xx");
    locale.isoName = "";
    EXPECT_EQ(LocaleCode(locale), "xx");
}

TEST(ReadMachineGuid, PassesTheIdentityOnAndItsFailure)
{
    testing::FakeMachineIdentity identity;
    EXPECT_EQ(ReadMachineGuid(identity), identity.guid);
    identity.unreadable = true;
    EXPECT_THROW(ReadMachineGuid(identity), AppError);
}

} // namespace
} // namespace pennolux
