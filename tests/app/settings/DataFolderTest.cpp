#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

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

// An installed tree: prefix/bin and prefix/share/pennolux. A folder's time
// of change moves with every file made or removed in it, so a bin/ set back
// in time shows whether the probe ran there.
class InstalledTreeTest : public DataFolderTest {
protected:
    void SetUp() override
    {
        DataFolderTest::SetUp();
        bin = makeFolder("prefix/bin");
        makeFolder("prefix/share/pennolux");
        const utimbuf longAgo{1000000000, 1000000000};
        ASSERT_EQ(::utime(QFile::encodeName(bin).constData(), &longAgo), 0);
    }
    qint64 binChangeTime() const
    {
        struct stat status {};
        EXPECT_EQ(::stat(QFile::encodeName(bin).constData(), &status), 0);
        return status.st_mtime;
    }
    QString bin;
};

TEST_F(InstalledTreeTest, AnInstalledProgramUsesThePerUserFolderAndNeverTouchesItsBinFolder)
{
    EXPECT_TRUE(isInstalledProgram(bin));
    EXPECT_TRUE(isInstalledProgram(bin + '/'));
    EXPECT_EQ(chooseAppDataFolder(bin, configHome(), "Zantoph", "Pennolux"), perUserFolder());
    EXPECT_TRUE(QFileInfo(perUserFolder()).isDir());
    EXPECT_EQ(binChangeTime(), 1000000000) << "the probe ran in the installed bin folder";
    EXPECT_EQ(QDir(bin).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
}

TEST_F(InstalledTreeTest, AReadOnlyPrefixUsesThePerUserFolder)
{
    const QString prefix = scratch() + "/prefix";
    for (const QString& folder : {bin, prefix + "/share/pennolux", prefix + "/share", prefix})
        ASSERT_TRUE(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther
                                                      | QFile::ExeOther));
    EXPECT_EQ(chooseAppDataFolder(bin, configHome(), "Zantoph", "Pennolux"), perUserFolder());
    EXPECT_EQ(binChangeTime(), 1000000000);
    for (const QString& folder : {prefix, prefix + "/share", prefix + "/share/pennolux", bin})
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST_F(DataFolderTest, APortableCopyIsOneWithoutTheInstalledDataFolder)
{
    // A build tree: the data files lie beside the executable, share/ has no pennolux.
    const QString bin = makeFolder("build/bin");
    makeFolder("build/bin/Languages");
    makeFolder("build/share/other");
    EXPECT_FALSE(isInstalledProgram(bin));
    EXPECT_EQ(chooseAppDataFolder(bin, configHome(), "Zantoph", "Pennolux"), bin + '/');
    // A file where the folder would be is no installed tree either.
    touch(scratch() + "/build/share/pennolux");
    EXPECT_FALSE(isInstalledProgram(bin));
}

TEST_F(DataFolderTest, PerUserFolderJoinsBaseCompanyAndProduct)
{
    EXPECT_EQ(perUserDataFolder("/home/u/.config", "Zantoph", "Pennolux"), "/home/u/.config/Zantoph/Pennolux/");
    EXPECT_EQ(perUserDataFolder("/home/u/.config/", "Zantoph", "Pennolux"), "/home/u/.config/Zantoph/Pennolux/");
}

} // namespace
} // namespace pennolux
