#include <gtest/gtest.h>

#include "platform/system/SystemInfo.h"

namespace pennolux {
namespace {

TEST(SystemInfo, KernelReleaseGivesVersionAndBuild)
{
    struct Case {
        const char* release;
        int major;
        int minor;
        int build;
    };
    const Case cases[] = {{"6.1.0-18-amd64", 6, 1, 0}, {"5.15.153.1-microsoft-standard-WSL2", 5, 15, 153},
                          {"6.8", 6, 8, 0}, {"", 0, 0, 0}, {"weird", 0, 0, 0}};
    for (const Case& test : cases) {
        OsFacts facts;
        parseKernelRelease(test.release, facts);
        EXPECT_EQ(facts.majorVersion, test.major) << test.release;
        EXPECT_EQ(facts.minorVersion, test.minor) << test.release;
        EXPECT_EQ(facts.build, test.build) << test.release;
    }
}

TEST(SystemInfo, EditionByTheKernelsMachine)
{
    for (const char* wide : {"x86_64", "aarch64", "ppc64le", "riscv64", "s390x"})
        EXPECT_TRUE(isSixtyFourBitMachine(wide)) << wide;
    for (const char* narrow : {"i686", "armv7l", ""})
        EXPECT_FALSE(isSixtyFourBitMachine(narrow)) << narrow;
    EXPECT_FALSE(HostSystemInfo().osFacts().productName.isEmpty());
}

} // namespace
} // namespace pennolux
