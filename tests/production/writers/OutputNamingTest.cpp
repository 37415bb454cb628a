#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <csignal>
#include <cstring>
#include <future>
#include <set>
#include <sys/resource.h>
#include <unistd.h>

#include "IsolatedHomeTest.h"
#include "WriterTestImages.h"
#include "platform/AppError.h"
#include "production/writers/OutputNaming.h"

namespace pennolux {
namespace {

using namespace pennolux::testing;

QString Reason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

TEST(ImageFormatNames, ReadEachFormatInAnyCase)
{
    const std::pair<const char*, std::optional<ImageFormat>> cases[] = {
        {"png", ImageFormat::PNG},   {"PNG", ImageFormat::PNG},   {"webp", ImageFormat::WEBP},
        {"jpeg", ImageFormat::JPEG}, {"Jpg", ImageFormat::JPEG},  {"tiff", ImageFormat::TIFF},
        {"TIF", ImageFormat::TIFF},  {"gif", ImageFormat::GIF},   {"bmp", ImageFormat::BMP},
        {"", std::nullopt},          {"png ", std::nullopt},      {".png", std::nullopt},
        {"jpe", std::nullopt},
    };
    for (const auto& [name, format] : cases)
        EXPECT_EQ(imageFormatFromName(name), format) << name;
}

TEST(OutputPath, AppendsOutputNumberAndExtensionToTheDestinationAsTyped)
{
    EXPECT_EQ(outputPath("/d", 3, ImageFormat::PNG), "/d/Output3.png");
    EXPECT_EQ(outputPath("/d/", 12, ImageFormat::WEBP), "/d//Output12.webp");
    EXPECT_EQ(outputPath("rel", 1, ImageFormat::JPEG), "rel/Output1.jpg");
    EXPECT_EQ(outputPath("/d", 1, ImageFormat::TIFF), "/d/Output1.tiff");
    EXPECT_EQ(outputPath("/d", 1, ImageFormat::GIF), "/d/Output1.gif");
    EXPECT_EQ(outputPath("/d", 1, ImageFormat::BMP), "/d/Output1.bmp");
}

class OutputNaming : public IsolatedHomeTest {
protected:
    QString at(const QString& name) const { return scratch() + '/' + name; }
    void makeFile(const QString& name, const QByteArray& bytes = "old") const { WriteWholeFile(at(name), bytes); }
    void makeFolder(const QString& name) const { ASSERT_TRUE(QDir().mkpath(at(name))); }
    void makeLink(const QString& name, const QString& target) const
    {
        ASSERT_EQ(::symlink(target.toLocal8Bit().constData(), at(name).toLocal8Bit().constData()), 0);
    }
};

TEST_F(OutputNaming, TakenNamesCountOnFromTwoAfterTheFirstPathsBaseName)
{
    struct Case {
        QStringList files;
        QStringList folders;
        QString path;
        QString expected;  // empty: the store fails on a folder of the name
    };
    const Case cases[] = {
        {{}, {}, "Output7.png", "Output7.png"},
        {{"Output7.png"}, {}, "Output7.png", "Output7 (2).png"},
        {{"Output7.png", "Output7 (2).png", "Output7 (3).png"}, {}, "Output7.png", "Output7 (4).png"},
        {{"Output7.png", "Output7 (3).png"}, {}, "Output7.png", "Output7 (2).png"},
        {{}, {"Output7.png"}, "Output7.png", ""},  // a folder is not taken: writing over it fails
        {{"Output7.png"}, {"Output7 (2).png"}, "Output7.png", ""},
        {{"Output7"}, {}, "Output7", "Output7 (2)"},                 // no extension
        {{"v.1/Output7"}, {"v.1"}, "v.1/Output7", "v.1/Output7 (2)"}, // the dot of a folder
        {{"Output7.tar.gz"}, {}, "Output7.tar.gz", "Output7.tar (2).gz"},
    };
    int round = 0;
    for (const Case& c : cases) {
        const QString folder = QString("case%1").arg(++round);
        makeFolder(folder);
        for (const QString& name : c.folders)
            makeFolder(folder + '/' + name);
        for (const QString& name : c.files)
            makeFile(folder + '/' + name);
        const QString first = at(folder + '/' + c.path);
        if (c.expected.isEmpty()) {
            EXPECT_THROW(storeUnderFreeName(first, "new"), AppError) << round;
            continue;
        }
        EXPECT_EQ(storeUnderFreeName(first, "new"), at(folder + '/' + c.expected)) << round;
        EXPECT_EQ(ReadWholeFile(at(folder + '/' + c.expected)), "new") << round;
    }
}

TEST_F(OutputNaming, StoringNeverWritesThroughAnExistingNameOrLink)
{
    makeFile("Output1.png", "first");
    makeFile("victim", "victim");
    makeLink("Output1 (2).png", at("victim"));
    makeLink("Output1 (3).png", at("nowhere"));

    EXPECT_EQ(storeUnderFreeName(at("Output1.png"), "new"), at("Output1 (4).png"));
    EXPECT_EQ(ReadWholeFile(at("Output1 (4).png")), "new");
    EXPECT_EQ(ReadWholeFile(at("Output1.png")), "first");
    EXPECT_EQ(ReadWholeFile(at("victim")), "victim");
    EXPECT_FALSE(QFile::exists(at("nowhere")));
}

TEST_F(OutputNaming, StoringFailsOnAFolderOfTheNameOrAMissingFolder)
{
    makeFolder("Output1.png");
    makeFile("plain");
    const std::pair<QString, QString> cases[] = {
        {at("Output1.png"), "Cannot create file \"" + at("Output1.png") + "\". " + Reason(EISDIR)},
        {at("missing/Output1.png"), "Cannot create file \"" + at("missing/Output1.png") + "\". " + Reason(ENOENT)},
        {at("plain/Output1.png"), "Cannot create file \"" + at("plain/Output1.png") + "\". " + Reason(ENOTDIR)},
    };
    for (const auto& [path, expected] : cases) {
        try {
            storeUnderFreeName(path, "bytes");
            ADD_FAILURE() << "no error for " << path.toStdString();
        } catch (const AppError& error) {
            EXPECT_EQ(error.message(), expected);
        }
    }
    EXPECT_EQ(QDir(scratch()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList({"Output1.png", "plain"}));
}

TEST_F(OutputNaming, WritersRacingForOneNameEachGetTheirOwnFile)
{
    constexpr int kWriters = 4;
    constexpr int kFilesEach = 60;
    std::vector<std::future<QStringList>> writers;
    for (int writer = 0; writer < kWriters; ++writer) {
        writers.push_back(std::async(std::launch::async, [this, writer] {
            QStringList names;
            for (int i = 0; i < kFilesEach; ++i)
                names << storeUnderFreeName(at("Output1.png"), QByteArray::number(writer * 1000 + i));
            return names;
        }));
    }
    std::set<QString> distinct;
    for (int writer = 0; writer < kWriters; ++writer) {
        const QStringList names = writers[size_t(writer)].get();
        for (int i = 0; i < kFilesEach; ++i) {
            distinct.insert(names[i]);
            EXPECT_EQ(ReadWholeFile(names[i]), QByteArray::number(writer * 1000 + i)) << names[i].toStdString();
        }
    }
    EXPECT_EQ(distinct.size(), size_t(kWriters * kFilesEach));
    EXPECT_EQ(QDir(scratch()).entryList(QDir::Files).size(), kWriters * kFilesEach);
}

// Stores 100,000 bytes under a file size limit of 4,096, as a full disk would
// stop the write. Returns 0 when the error names the reason and no part file
// is left.
int StoreOverTheSizeLimit(const QString& path, const QString& expectedError)
{
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit {4096, 4096};
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
        return 1;
    try {
        storeUnderFreeName(path, QByteArray(100000, 'x'));
        return 2;
    } catch (const AppError& error) {
        if (error.message() != expectedError) {
            std::fprintf(stderr, "message: %s\n", error.what());
            return 3;
        }
    }
    return QFile::exists(path) ? 4 : 0;
}

void StoreKilledByTheSizeLimit(const QString& path)
{
    std::signal(SIGXFSZ, SIG_DFL);
    const rlimit limit{4096, 4096};
    setrlimit(RLIMIT_FSIZE, &limit);
    storeUnderFreeName(path, QByteArray(100000, 'x'));
    std::_Exit(0);
}

// Run in a child process, so the limit does not reach the test runner.
TEST_F(OutputNaming, AFailedWriteLeavesNoFileAndNamesTheReason)
{
    const QString path = at("Output1.png");
    EXPECT_EXIT(std::_Exit(StoreOverTheSizeLimit(path, "Cannot create file \"" + path + "\". " + Reason(EFBIG))),
                ::testing::ExitedWithCode(0), "");
    EXPECT_TRUE(QDir(scratch()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());
}

// A process killed in the middle of writing an image (here by the file-size
// limit's signal) leaves nothing behind: the file gets its name only when
// it is whole.
TEST_F(OutputNaming, AProcessKilledWhileWritingLeavesNoFile)
{
    const QString path = at("Output1.png");
    EXPECT_EXIT(StoreKilledByTheSizeLimit(path), ::testing::KilledBySignal(SIGXFSZ), "");
    EXPECT_TRUE(QDir(scratch()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());
}

} // namespace
} // namespace pennolux
