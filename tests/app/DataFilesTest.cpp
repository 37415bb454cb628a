#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include "IsolatedHomeTest.h"
#include "app/DataFiles.h"

using namespace pennolux;
using namespace pennolux::testing;

using DataFilesTest = IsolatedHomeTest;

TEST_F(DataFilesTest, LooksBesideTheExecutableThenInTheInstalledDataFolder)
{
    const DataFiles files = DataFiles::besideExecutable(scratch() + "/prefix/bin/");
    EXPECT_EQ(files.folders(), QStringList({scratch() + "/prefix/bin", scratch() + "/prefix/share/pennolux"}));
}

TEST_F(DataFilesTest, TheFirstFolderHoldingTheFileWins)
{
    const QString first = scratch() + "/first";
    const QString second = scratch() + "/second";
    QDir().mkpath(first);
    QDir().mkpath(second + "/Languages");
    writeScratchFile("second/license.txt", "MIT");
    const DataFiles files({first, second});

    EXPECT_EQ(files.findFile("license.txt"), second + "/license.txt");
    EXPECT_EQ(files.findFolder("Languages"), second + "/Languages");
    EXPECT_EQ(files.findFile("sample-list.txt"), QString());

    writeScratchFile("first/license.txt", "MIT");
    QDir().mkpath(first + "/Languages");
    EXPECT_EQ(files.findFile("license.txt"), first + "/license.txt");
    EXPECT_EQ(files.findFolder("Languages"), first + "/Languages");

    // A file does not stand in for a folder, nor a folder for a file.
    QDir().mkpath(first + "/sample-list.txt");
    writeScratchFile("second/sample-list.txt", "a@example.com");
    EXPECT_EQ(files.findFile("sample-list.txt"), second + "/sample-list.txt");
    EXPECT_EQ(files.findFolder("license.txt"), QString());
}
