#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include "IsolatedHomeTest.h"
#include "platform/desktop/SpecialFolders.h"

namespace pennolux {
namespace {

class SpecialFoldersTest : public testing::IsolatedHomeTest {
protected:
    XdgSpecialFolders folders;
};

TEST_F(SpecialFoldersTest, DesktopIsTheHomeFolderWhenNoDesktopFolderExists)
{
    EXPECT_EQ(folders.desktop(), home());
}

TEST_F(SpecialFoldersTest, DesktopIsTheDesktopFolderWhenItExists)
{
    ASSERT_TRUE(QDir(home()).mkdir("Desktop"));
    EXPECT_EQ(folders.desktop(), home() + "/Desktop");
}

TEST_F(SpecialFoldersTest, DesktopFollowsTheUserDirsFile)
{
    QFile userDirs(configHome() + "/user-dirs.dirs");
    ASSERT_TRUE(userDirs.open(QIODevice::WriteOnly));
    userDirs.write("XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n");
    userDirs.close();

    EXPECT_EQ(folders.desktop(), home()) << "named but missing";
    ASSERT_TRUE(QDir(home()).mkdir("Schreibtisch"));
    EXPECT_EQ(folders.desktop(), home() + "/Schreibtisch");
}

TEST_F(SpecialFoldersTest, RoamingAppDataHonoursAnAbsoluteConfigHomeOnly)
{
    EXPECT_EQ(folders.roamingAppData(), configHome());

    qputenv("XDG_CONFIG_HOME", QByteArray(scratch().toUtf8()));
    EXPECT_EQ(folders.roamingAppData(), scratch());

    qputenv("XDG_CONFIG_HOME", "relative/config");
    EXPECT_EQ(folders.roamingAppData(), home() + "/.config");

    qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(folders.roamingAppData(), home() + "/.config");

    qunsetenv("HOME");
    EXPECT_EQ(folders.roamingAppData(), QString());
}

} // namespace
} // namespace pennolux
