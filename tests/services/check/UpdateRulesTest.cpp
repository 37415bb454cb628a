#include <gtest/gtest.h>

#include "services/check/UpdateRules.h"

namespace pennolux {
namespace {

TEST(UpdateRules, FiveAcceptedAnswersADayOnTheExactDateText)
{
    EXPECT_FALSE(dailyLimitReached("", 0, "17.03.25"));
    EXPECT_FALSE(dailyLimitReached("17.03.25", 4, "17.03.25"));
    EXPECT_TRUE(dailyLimitReached("17.03.25", 5, "17.03.25"));
    EXPECT_TRUE(dailyLimitReached("17.03.25", 9, "17.03.25"));
    EXPECT_FALSE(dailyLimitReached("17.03.25", 5, "2025-03-17")); // another date format counts afresh
    EXPECT_FALSE(dailyLimitReached("16.03.25", 5, "17.03.25"));

    EXPECT_EQ(nextDailyCount("", 0, "17.03.25"), 1);
    EXPECT_EQ(nextDailyCount("17.03.25", 3, "17.03.25"), 4);
    EXPECT_EQ(nextDailyCount("16.03.25", 3, "17.03.25"), 1);
}

TEST(UpdateRules, VersionsAreComparedForDifferenceOnly)
{
    struct Case {
        const char* offered;
        const char* running;
        bool other;
    };
    const Case cases[] = {
        {"1.10", "1.9", true}, {"1.4", "1.5", true}, {"1.5.0", "1.5", true}, {"1.5", "1.5", false},
        {"2.2b", "2.1", false}, {"", "2.1", false},  {"...", "2.1", false}, {"9.9.9.9.9.9.9.9.9.9", "2.1", false},
    };
    for (const Case& test : cases)
        EXPECT_EQ(offersOtherVersion(test.offered, test.running), test.other) << test.offered;
}

TEST(UpdateRules, WindowNeedsTheSettingOneAndAnAnswerWithinTheDailyFour)
{
    UpdateOffer offer{"2.2", "2.1", 1, "17.03.25", "17.03.25", 4};
    EXPECT_TRUE(shouldShowUpdateWindow(offer));
    offer.count = 5;
    EXPECT_FALSE(shouldShowUpdateWindow(offer));
    offer.lastCheck = "16.03.25";
    EXPECT_TRUE(shouldShowUpdateWindow(offer));
    offer.showUpdate = 2;
    EXPECT_FALSE(shouldShowUpdateWindow(offer));
    offer.showUpdate = 1;
    offer.serverVersion = "2.1";
    EXPECT_FALSE(shouldShowUpdateWindow(offer));
}

TEST(UpdateRules, OnlyWebAddressesAreOpenedOtherwiseTheHomePage)
{
    const QString home = "http://www.zantoph.example";
    struct Case {
        const char* link;
        QString opened;
    };
    const Case cases[] = {
        {"https://www.zantoph.example/dl/pennolux.deb", "https://www.zantoph.example/dl/pennolux.deb"},
        {"http://mirror.example:8080/p?x=1", "http://mirror.example:8080/p?x=1"},
        {"HTTPS://WWW.ZANTOPH.EXAMPLE/", "HTTPS://WWW.ZANTOPH.EXAMPLE/"},
        {"", home},
        {"file:///etc/passwd", home},
        {"javascript:alert(1)", home},
        {"/usr/bin/xterm", home},
        {"xterm -e rm -rf ~", home},
        {"https://", home},
        {"ftp://files.example/p", home},
        {"smb://server/share", home},
    };
    for (const Case& test : cases)
        EXPECT_EQ(downloadAddress(test.link, "www.zantoph.example"), test.opened) << test.link;
}

} // namespace
} // namespace pennolux
