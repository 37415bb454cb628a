#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include "IsolatedHomeTest.h"
#include "app/settings/DataFolder.h"

namespace pennolux {
namespace {

class DataFolderTest : public testing::IsolatedHomeTest {
protected:
    QString makeFolder(const QString& name) const
    {
        const QString folder = scratch() + '/' + name;
        QDir().mkpath(folder);
        return folder;
    }
    static void touch(const QString& path)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    QString perUserFolder() const { return configHome() + "/Zantoph/Pennolux/"; }
};

TEST_F(DataFolderTest, AWritableFolderPassesAndKeepsNoProbeFile)
{
    const QString folder = makeFolder("app");
    EXPECT_TRUE(IsFolderWritable(folder));
    EXPECT_TRUE(IsFolderWritable(folder + '/'));
    EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
}

TEST_F(DataFolderTest, AStaleProbeFileAMissingFolderOrAFileAsFolderFail)
{
    const QString stale = makeFolder("stale");
    touch(stale + "/chk.tmp");
    EXPECT_FALSE(IsFolderWritable(stale));
    EXPECT_TRUE(QFile::exists(stale + "/chk.tmp")) << "the probe must not remove a file it did not make";

    EXPECT_FALSE(IsFolderWritable(scratch() + "/missing"));

    touch(scratch() + "/regular");
    EXPECT_FALSE(IsFolderWritable(scratch() + "/regular"));
    EXPECT_FALSE(IsFolderWritable(scratch() + "/regular/below"));
}

TEST_F(DataFolderTest, AWritableExecutableFolderIsChosenWithATrailingSeparator)
{
    const QString folder = makeFolder("app");
    EXPECT_EQ(chooseAppDataFolder(folder, configHome(), "Zantoph", "Pennolux"), folder + '/');
    EXPECT_EQ(chooseAppDataFolder(folder + '/', configHome(), "Zantoph", "Pennolux"), folder + '/');
    EXPECT_FALSE(QDir(configHome() + "/Zantoph").exists()) << "the per-user folder is made only when used";
}

TEST_F(DataFolderTest, AnUnwritableExecutableFolderLeadsToThePerUserFolderCreatedLevelByLevel)
{
    const QString stale = makeFolder("stale");
    touch(stale + "/chk.tmp");
    EXPECT_EQ(chooseAppDataFolder(stale, configHome(), "Zantoph", "Pennolux"), perUserFolder());
    EXPECT_TRUE(QFileInfo(perUserFolder()).isDir());

    // Existing levels are no obstacle, nor is a separator at the end of the base.
    touch(scratch() + "/regular");
    EXPECT_EQ(chooseAppDataFolder(scratch() + "/regular", configHome() + '/', "Zantoph", "Pennolux"),
              perUserFolder());
}

TEST_F(DataFolderTest, PerUserFolderJoinsBaseCompanyAndProduct)
{
    EXPECT_EQ(perUserDataFolder("/home/u/.config", "Zantoph", "Pennolux"), "/home/u/.config/Zantoph/Pennolux/");
    EXPECT_EQ(perUserDataFolder("/home/u/.config/", "Zantoph", "Pennolux"), "/home/u/.config/Zantoph/Pennolux/");
}

} // namespace
} // namespace pennolux
