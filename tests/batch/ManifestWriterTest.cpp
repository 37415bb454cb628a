#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include "IsolatedHomeTest.h"
#include "platform/AppError.h"
#include "batch/ManifestWriter.h"

namespace pennolux {
namespace {

struct RecordCase {
    StoredLine line;
    QByteArray record;
};

class ManifestRecordTest : public ::testing::TestWithParam<RecordCase> {};

TEST_P(ManifestRecordTest, QuotesOnlyWhatCsvNeedsQuoted)
{
    EXPECT_EQ(ManifestWriter::record(GetParam().line), GetParam().record);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ManifestRecordTest,
    ::testing::Values(
        RecordCase{{1, "john.smith@example.com", "/out/Output1.png", {139, 15}},
                   "1,Output1.png,john.smith@example.com,139,15\r\n"},
        // The name actually written, " (k)" included, without its folder.
        RecordCase{{7, "a b", "/out, here/Output7 (3).png", {20, 15}}, "7,Output7 (3).png,a b,20,15\r\n"},
        RecordCase{{2, "Smith, John", "Output2.gif", {60, 15}}, "2,Output2.gif,\"Smith, John\",60,15\r\n"},
        RecordCase{{3, "say \"hi\"", "Output3.gif", {40, 15}}, "3,Output3.gif,\"say \"\"hi\"\"\",40,15\r\n"},
        RecordCase{{4, "\"", "Output4.gif", {5, 15}}, "4,Output4.gif,\"\"\"\",5,15\r\n"},
        RecordCase{{5, "two\nlines\r\nthree\rx", "Output5.gif", {9, 45}},
                   "5,Output5.gif,\"two\nlines\r\nthree\rx\",9,45\r\n"},
        RecordCase{{6, QString::fromUtf8("Zoë·Ωmega 東京 😀, ok"), "Output6.gif", {90, 15}},
                   QByteArray("6,Output6.gif,\"") + QString::fromUtf8("Zoë·Ωmega 東京 😀, ok").toUtf8() +
                       "\",90,15\r\n"},
        RecordCase{{2147483647, " leading and trailing ", "Output2147483647.bmp", {1, 1}},
                   "2147483647,Output2147483647.bmp, leading and trailing ,1,1\r\n"}));

class ManifestWriterTest : public testing::IsolatedHomeTest {
protected:
    QByteArray contentOf(const QString& path) const
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
};

// Until it is published an older manifest stays whole and no part of the
// new one is seen under its name; then it replaces the older one.
TEST_F(ManifestWriterTest, IsSeenOnlyWholeAndReplacesAnOlderOne)
{
    const QString path = writeScratchFile("manifest.csv", "older");
    ManifestWriter manifest(path);
    manifest.add({1, "a", scratch() + "/Output1.png", {10, 15}});
    EXPECT_EQ(contentOf(path), "older");
    manifest.add({3, "c", scratch() + "/Output3 (2).png", {11, 15}});
    manifest.publish();
    EXPECT_EQ(contentOf(path), "line,file,text,width,height\r\n"
                               "1,Output1.png,a,10,15\r\n"
                               "3,Output3 (2).png,c,11,15\r\n");
    EXPECT_EQ(QDir(scratch()).entryList(QDir::Files | QDir::Hidden), QStringList("manifest.csv"));
}

TEST_F(ManifestWriterTest, AManifestThatCannotBeCreatedFailsAtOnce)
{
    const QString path = scratch() + "/missing/manifest.csv";
    try {
        ManifestWriter manifest(path);
        FAIL() << "no error";
    } catch (const AppError& error) {
        EXPECT_TRUE(error.message().startsWith("Cannot create file \"" + path + "\". ")) << error.what();
    }
    EXPECT_THROW(ManifestWriter(QDir(scratch()).absolutePath()), AppError);
}

} // namespace
} // namespace pennolux
