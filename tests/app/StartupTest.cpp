#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include "FakeLocale.h"
#include "FakeSpecialFolders.h"
#include "IsolatedHomeTest.h"
#include "SocketFile.h"
#include "app/ApplicationState.h"
#include "app/Startup.h"
#include "localisation/Translator.h"

namespace pennolux {
namespace {

class StartupTest : public testing::IsolatedHomeTest {
protected:
    void SetUp() override
    {
        IsolatedHomeTest::SetUp();
        appFolder = scratch() + "/app";
        QDir().mkpath(appFolder);
        folders.desktopFolder = home() + "/Desktop";
        folders.roamingFolder = configHome();
    }

    // The executable under test: the version probe, or bytes without a block.
    QString installExecutable(const QByteArray& replacement = {}) const
    {
        const QString path = appFolder + "/pennolux";
        if (replacement.isNull()) {
            EXPECT_TRUE(QFile::copy(QStringLiteral(PENNOLUX_VERSION_PROBE), path));
        } else {
            QFile file(path);
            EXPECT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(replacement);
        }
        return path;
    }
    QStringList start(const QString& executable)
    {
        Translator translator(appFolder + "/Languages", locale);
        return initializeApplicationState(state, {executable, folders, translator});
    }

    QString appFolder;
    testing::FakeSpecialFolders folders;
    testing::FakeLocale locale;
    ApplicationState state;
};

TEST_F(StartupTest, TheShippedVersionBlockGivesTitleVersionAndTheWritableExecutableFolder)
{
    const QStringList failures = start(installExecutable());

    EXPECT_TRUE(failures.isEmpty()) << failures.join('\n').toStdString();
    EXPECT_EQ(state.AppCompanyName, "Zantoph");
    EXPECT_EQ(state.AppProductName, "Pennolux");
    EXPECT_EQ(state.AppTitle, "Zantoph - Pennolux");
    EXPECT_EQ(state.AppVersion, "2.1");
    EXPECT_EQ(state.AppDataFolder, appFolder + '/');
    EXPECT_EQ(state.SettingsIni.path(), appFolder + "/settings.ini");
    EXPECT_FALSE(QFile::exists(appFolder + "/settings.ini")) << "nothing is written before a font is chosen";
    EXPECT_EQ(state.BrowseFolder, home() + "/Desktop");
}

TEST_F(StartupTest, MissingVersionInformationIsReportedAndTheRemainingStepsStillRun)
{
    writeScratchFile("app/chk.tmp", {}); // stale probe file: the executable folder is not used
    const QStringList failures = start(installExecutable("#!/bin/sh\n"));

    ASSERT_EQ(failures.size(), 1);
    EXPECT_TRUE(failures[0].contains("carries no version information")) << failures[0].toStdString();
    EXPECT_EQ(state.AppTitle, "Zantoph - Pennolux");
    EXPECT_EQ(state.AppVersion, "65535.65535");
    EXPECT_EQ(state.AppDataFolder, configHome() + "/Zantoph/Pennolux/");
    EXPECT_TRUE(QFileInfo(state.AppDataFolder).isDir());
    EXPECT_EQ(state.SettingsIni.path(), configHome() + "/Zantoph/Pennolux/settings.ini");
    EXPECT_EQ(state.BrowseFolder, home() + "/Desktop");
}

TEST_F(StartupTest, AProgramInstalledUnderAPrefixKeepsItsSettingsInThePerUserFolder)
{
    appFolder = scratch() + "/prefix/bin";
    QDir().mkpath(appFolder);
    QDir().mkpath(scratch() + "/prefix/share/pennolux");
    const QString executable = installExecutable();
    const QStringList failures = start(executable);

    EXPECT_TRUE(failures.isEmpty()) << failures.join('\n').toStdString();
    EXPECT_EQ(state.AppDataFolder, configHome() + "/Zantoph/Pennolux/");
    EXPECT_EQ(state.SettingsIni.path(), configHome() + "/Zantoph/Pennolux/settings.ini");
    state.SettingsIni.writeString("Settings", "Fontname", "Tahoma");
    state.SettingsIni.save();
    EXPECT_TRUE(QFile::exists(configHome() + "/Zantoph/Pennolux/settings.ini"));
    EXPECT_EQ(QDir(appFolder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{"pennolux"});
}

TEST_F(StartupTest, AnUnreadableSettingsFileIsDeletedAndStartUpGoesOnWithAnEmptyDocument)
{
    writeScratchFile("app/settings.ini", "[Settings]\r\nFontname=\xFF\xFE\r\n");
    const QStringList failures = start(installExecutable());

    EXPECT_TRUE(failures.isEmpty()) << failures.join('\n').toStdString();
    EXPECT_FALSE(QFile::exists(appFolder + "/settings.ini"));
    EXPECT_EQ(state.SettingsIni.readString("Settings", "Fontname", "none"), "none");
    EXPECT_EQ(state.SettingsIni.path(), appFolder + "/settings.ini");
}

TEST_F(StartupTest, AnUnreadableLanguageFileIsReportedAndBrowseFolderStillSet)
{
    QDir().mkpath(appFolder + "/Languages");
    writeScratchFile("app/Languages/LanguageCodes.csv", "1031,delang.txt\r\n");
    const testing::SocketFile unreadable(appFolder + "/Languages/delang.txt");
    ASSERT_TRUE(unreadable.bound());
    locale.languageId = 1031;

    const QStringList failures = start(installExecutable());
    ASSERT_EQ(failures.size(), 1);
    EXPECT_TRUE(failures[0].contains("delang.txt")) << failures[0].toStdString();
    EXPECT_EQ(state.BrowseFolder, home() + "/Desktop");
}

TEST_F(StartupTest, ReadableSettingsAreKept)
{
    writeScratchFile("app/settings.ini", "\xEF\xBB\xBF[Settings]\r\nFontname=Tahoma\r\n\r\n");
    start(installExecutable());
    EXPECT_EQ(state.SettingsIni.readString("Settings", "Fontname"), "Tahoma");
}

} // namespace
} // namespace pennolux
