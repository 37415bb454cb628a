#include <gtest/gtest.h>

#include "IsolatedHomeTest.h"
#include "platform/AppError.h"
#include "platform/system/MachineIdentity.h"

namespace pennolux {
namespace {

using MachineIdentityTest = testing::IsolatedHomeTest;

// The expected value is what `systemd-id128 machine-id --app-specific=5b0e3a6c9d4f47a1b2c8e7f6a1d3c5e9 -u`
// prints on a machine whose id is 0123456789abcdef0123456789abcdef.
TEST_F(MachineIdentityTest, DerivesTheApplicationSpecificIdNeverTheRawOne)
{
    const QString path = writeScratchFile("machine-id", "0123456789abcdef0123456789abcdef\n");
    const QString guid = MachineIdFile({scratch() + "/missing", path}).machineGuid();
    EXPECT_EQ(guid, "b103a3aa-46fb-4094-bdd0-2a3a015c7019");
    EXPECT_FALSE(QString(guid).remove(u'-').contains("0123456789abcdef"));

    const QByteArray id = appSpecificId(QByteArray(16, '\x11'), QByteArray(16, '\x22'));
    EXPECT_EQ(quint8(id[6]) >> 4, 4);       // UUID version 4
    EXPECT_EQ(quint8(id[8]) & 0xC0, 0x80);  // RFC 4122 variant
}

TEST_F(MachineIdentityTest, NoIdGivesEmptyADamagedOneFails)
{
    EXPECT_EQ(MachineIdFile({scratch() + "/missing"}).machineGuid(), "");
    EXPECT_EQ(MachineIdFile({writeScratchFile("empty", "")}).machineGuid(), "");
    EXPECT_EQ(MachineIdFile({writeScratchFile("first-boot", "uninitialized\n")}).machineGuid(), "");
    EXPECT_THROW(MachineIdFile({writeScratchFile("bad", "not-an-id\n")}).machineGuid(), AppError);
    EXPECT_THROW(MachineIdFile({writeScratchFile("short", "0123456789abcdef\n")}).machineGuid(), AppError);
}

} // namespace
} // namespace pennolux
