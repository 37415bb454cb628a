#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include "IsolatedHomeTest.h"

namespace pennolux {
namespace {

QStringList versionLines(const QString& tool)
{
    QProcess process;
    process.start(tool, {"--version"});
    EXPECT_TRUE(process.waitForFinished(60'000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    return QString::fromUtf8(process.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
}

using BatchVersionTest = testing::IsolatedHomeTest;

TEST_F(BatchVersionTest, ListsTheLibrariesItRunsWithAndWhereItsFilesAre)
{
    const QStringList lines = versionLines(PENNOLUX_BATCH_TOOL);
    ASSERT_EQ(lines.size(), 16) << lines.join(u'\n').toStdString();
    EXPECT_EQ(lines[0], "pennolux-batch 2.1");
    const QString folder = QFileInfo(PENNOLUX_BATCH_TOOL).absolutePath();
    EXPECT_EQ(lines[1], "Copyright (c) 2026 Zantoph, MIT licence: " + folder + "/license.txt");
    EXPECT_EQ(lines[2], "Language files: " + folder + "/Languages");
    EXPECT_EQ(lines[3], "Runs with:");
    const QStringList names = {"Qt",      "zlib",    "libpng", "libdeflate", "libjpeg-turbo", "giflib",
                               "libtiff", "libwebp", "libcurl", "ICU",        "libzip",        "Expat"};
    const QRegularExpression version(QStringLiteral("^  (\\S+) (\\d+(\\.\\d+)+)$"));
    for (qsizetype i = 0; i < names.size(); ++i) {
        const auto match = version.match(lines[4 + i]);
        ASSERT_TRUE(match.hasMatch()) << lines[4 + i].toStdString();
        EXPECT_EQ(match.captured(1), names[i]);
    }
    EXPECT_EQ(lines[4], QStringLiteral("  Qt ") + qVersion());
}

// A copy of the tool finds its files beside itself first, then in
// share/pennolux next to its bin folder, and says so when neither has them.
TEST_F(BatchVersionTest, FindsItsFilesBesideItselfThenInTheInstalledDataFolder)
{
    const QString bin = scratch() + "/prefix/bin";
    const QString data = scratch() + "/prefix/share/pennolux";
    QDir().mkpath(bin);
    ASSERT_TRUE(QFile::copy(PENNOLUX_BATCH_TOOL, bin + "/pennolux-batch"));

    QStringList lines = versionLines(bin + "/pennolux-batch");
    ASSERT_GE(lines.size(), 3);
    EXPECT_EQ(lines[1], "Copyright (c) 2026 Zantoph, MIT licence: not found");
    EXPECT_EQ(lines[2], "Language files: not found");

    QDir().mkpath(data + "/Languages");
    writeScratchFile("prefix/share/pennolux/license.txt", "MIT License\n");
    lines = versionLines(bin + "/pennolux-batch");
    EXPECT_EQ(lines[1], "Copyright (c) 2026 Zantoph, MIT licence: " + data + "/license.txt");
    EXPECT_EQ(lines[2], "Language files: " + data + "/Languages");

    QDir().mkpath(bin + "/Languages");
    lines = versionLines(bin + "/pennolux-batch");
    EXPECT_EQ(lines[2], "Language files: " + bin + "/Languages");
}

} // namespace
} // namespace pennolux
