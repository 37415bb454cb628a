#include <gtest/gtest.h>

#include "app/web/OnlineHelp.h"

namespace pennolux {
namespace {

TEST(OnlineHelpAddress, LowerCasesTheProductAndHyphenatesSpaces)
{
    EXPECT_EQ(onlineHelpAddress("www.zantoph.example", "Pennolux"),
              "http://www.zantoph.example/help/pennolux/");
    EXPECT_EQ(onlineHelpAddress("127.0.0.1:8080", "Pennolux Pro Max"),
              "http://127.0.0.1:8080/help/pennolux-pro-max/");
}

} // namespace
} // namespace pennolux
