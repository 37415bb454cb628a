#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>
#include <csignal>

#include "BatchToolFixture.h"
#include "batch/BatchOptions.h"

// Pieces of a list (--first-number, --lines) and the manifest of what a run
// wrote (--manifest), through the tool as scripts run it.

namespace pennolux {
namespace {

const QByteArray kHeader = "line,file,text,width,height\r\n";

class BatchPiecesTest : public BatchToolFixture {
protected:
    ToolRun runQuiet(const QStringList& arguments, const QByteArray& input = {}) const
    {
        return runTool(QStringList("--quiet") + arguments, input);
    }


    static QStringList filesIn(const QString& folder)
    {
        QStringList files = QDir(folder).entryList(QDir::Files | QDir::Hidden);
        std::sort(files.begin(), files.end(), [](const QString& a, const QString& b) {
            return a.size() != b.size() ? a.size() < b.size() : a < b;
        });
        return files;
    }

    static QByteArray contentOf(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    // The manifest record the tool should write for a file it left in folder.
    static QByteArray recordFor(int line, const QString& folder, const QString& name, const QByteArray& textField)
    {
        const QImage image(folder + '/' + name);
        EXPECT_FALSE(image.isNull()) << name.toStdString();
        return QByteArray::number(line) + ',' + name.toUtf8() + ',' + textField + ',' +
               QByteArray::number(image.width()) + ',' + QByteArray::number(image.height()) + "\r\n";
    }
};

// Line 2 and line 5 are empty: they make no file but keep their numbers.
const QByteArray kSixLines = "alpha\n\ngamma\ndelta\n\nzeta\n";

TEST_F(BatchPiecesTest, APieceIsNumberedAsInTheWholeList)
{
    const QString list = writeScratchFile("list.txt", kSixLines);
    struct Case {
        QStringList arguments;
        QByteArray input;  // for "-"
        QStringList files;
    };
    const Case cases[] = {
        {{"--lines", "2-4", list}, {}, {"Output3.png", "Output4.png"}},
        {{"--lines=5-", list}, {}, {"Output6.png"}},
        {{"--lines", "2", list}, {}, {}},
        {{"--lines", "7-100", list}, {}, {}},
        {{"--first-number", "10", list}, {}, {"Output10.png", "Output12.png", "Output13.png", "Output15.png"}},
        {{"--first-number", "10", "--lines", "12-14", list}, {}, {"Output12.png", "Output13.png"}},
        {{"--first-number", "10", "--lines", "1-9", list}, {}, {}},
        // A piece of standard input is numbered from --first-number, and so
        // are the line numbers of --lines.
        {{"--first-number", "1001", "-"}, "x\n\ny", {"Output1001.png", "Output1003.png"}},
        {{"--first-number=1001", "--lines", "1002-", "-"}, "x\n\ny\nz", {"Output1003.png", "Output1004.png"}},
        {{"--first-number", "2147483646", "-"}, "x\ny", {"Output2147483646.png", "Output2147483647.png"}},
    };
    int folder = 0;
    for (const Case& test : cases) {
        SCOPED_TRACE(test.arguments.join(' ').toStdString());
        const QString destination = makeFolder(QString::number(++folder));
        const ToolRun run = runQuiet(QStringList{"-o", destination} + test.arguments, test.input);
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_EQ(run.outBytes, QString("Saved %1 image file(s)\n").arg(test.files.size()).toUtf8());
        EXPECT_EQ(filesIn(destination), test.files);
    }
}

// Pieces run into one folder, from the list file or as pieces of standard
// input, leave exactly the files of one run: no " (2)" names, same bytes.
TEST_F(BatchPiecesTest, PiecesIntoOneFolderMakeTheFilesOfOneRun)
{
    const QString list = writeScratchFile("list.txt", kSixLines);
    const QString whole = makeFolder("whole");
    ASSERT_EQ(runQuiet({"-o", whole, list}).exitCode, 0);
    ASSERT_EQ(filesIn(whole), QStringList({"Output1.png", "Output3.png", "Output4.png", "Output6.png"}));

    const QString byRanges = makeFolder("ranges");
    for (const char* range : {"1-2", "3-3", "4-"})
        ASSERT_EQ(runQuiet({"-o", byRanges, "--lines", range, list}).exitCode, 0);
    const QString byInput = makeFolder("input");
    ASSERT_EQ(runQuiet({"-o", byInput, "-"}, "alpha\n\ngamma\n").exitCode, 0);
    ASSERT_EQ(runQuiet({"-o", byInput, "--first-number", "4", "-"}, "delta\n\nzeta\n").exitCode, 0);

    for (const QString& pieces : {byRanges, byInput}) {
        ASSERT_EQ(filesIn(pieces), filesIn(whole));
        for (const QString& name : filesIn(whole))
            EXPECT_EQ(contentOf(pieces + '/' + name), contentOf(whole + '/' + name)) << name.toStdString();
    }
}

// Every file written, in line order, under the name it was given; texts
// that need it are quoted; the bytes go out as UTF-8.
TEST_F(BatchPiecesTest, TheManifestNamesEveryFileWritten)
{
    const QByteArray lines = QString::fromUtf8("plain@example.com\nSmith, John\n\nsay \"hi\"\nZoë 東京 Ωμέγα\n").toUtf8();
    const QString list = writeScratchFile("list.txt", lines);
    QStringList destinations;
    for (const char* name : {"file", "stdout"}) {
        destinations.append(makeFolder(name));
        // A file of the name already there: the image takes the next free name.
        writeScratchFile(QString(name) + "/Output2.png", "taken");
    }
    const QString manifest = scratch() + "/manifest.csv";
    const ToolRun toFile = runQuiet({"-o", destinations[0], "--manifest", manifest, list});
    ASSERT_EQ(toFile.exitCode, 0) << toFile.err.toStdString();
    EXPECT_EQ(toFile.outBytes, "Saved 4 image file(s)\n");
    const QString folder = destinations[0];
    const QByteArray expected = kHeader + recordFor(1, folder, "Output1.png", "plain@example.com") +
                                recordFor(2, folder, "Output2 (2).png", "\"Smith, John\"") +
                                recordFor(4, folder, "Output4.png", "\"say \"\"hi\"\"\"") +
                                recordFor(5, folder, "Output5.png", QString::fromUtf8("Zoë 東京 Ωμέγα").toUtf8());
    EXPECT_EQ(contentOf(manifest), expected);
    EXPECT_EQ(QFile(manifest).permissions() & QFile::ReadGroup, QFile::ReadGroup);

    // "-": the manifest takes the place of the "Saved ..." line.
    const ToolRun toOutput = runQuiet({"-o", destinations[1], "--manifest", "-", list});
    ASSERT_EQ(toOutput.exitCode, 0) << toOutput.err.toStdString();
    EXPECT_EQ(toOutput.outBytes, expected);
    EXPECT_EQ(toOutput.err, "");
}

// A run stopped by a line that cannot become an image still leaves the
// manifest of the files it wrote, and a manifest that cannot be created
// stops the run before any image.
TEST_F(BatchPiecesTest, TheManifestOfARunStoppedByAnErrorListsWhatWasWritten)
{
    const QByteArray input = "first\n\njohn" + QByteArray(70000, 'x') + "\nfourth\n";
    const QString folder = makeFolder("out");
    const QString manifest = writeScratchFile("manifest.csv", "an older manifest");
    const ToolRun run = runQuiet({"-o", folder, "--manifest", manifest, "-"}, input);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.outBytes, "Saved 1 image file(s)\n");
    EXPECT_TRUE(run.err.startsWith("Line 3 (\"johnxxx")) << run.err.toStdString();
    EXPECT_EQ(contentOf(manifest), kHeader + recordFor(1, folder, "Output1.png", "first"));
    EXPECT_EQ(filesIn(scratch()), QStringList("manifest.csv"));

    const QString other = makeFolder("other");
    const ToolRun toOutput = runQuiet({"-o", other, "--manifest", "-", "--first-number", "8"}, input);
    EXPECT_EQ(toOutput.exitCode, 1);
    EXPECT_EQ(toOutput.outBytes, kHeader + recordFor(8, other, "Output8.png", "first"));
    EXPECT_TRUE(toOutput.err.startsWith("Line 10 (\"johnxxx")) << toOutput.err.toStdString();

    const QString unwritable = scratch() + "/missing/manifest.csv";
    const QString never = makeFolder("never");
    const ToolRun refused = runQuiet({"-o", never, "--manifest", unwritable, "-"}, "a\n");
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.err.startsWith("Cannot create file \"" + unwritable + "\". ")) << refused.err.toStdString();
    EXPECT_TRUE(filesIn(never).isEmpty());
}

// SIGTERM stops the run after the file in hand; the manifest lists exactly
// the files on disk.
TEST_F(BatchPiecesTest, TheManifestOfAnInterruptedRunListsWhatWasWritten)
{
    QByteArray lines;
    for (int i = 0; i < 200000; ++i)
        lines += "line" + QByteArray::number(i) + "@example.com\n";
    const QString list = writeScratchFile("long.txt", lines);
    const QString folder = makeFolder("out");
    const QString manifest = scratch() + "/manifest.csv";
    QProcess tool;
    tool.start(PENNOLUX_BATCH_TOOL, {"-q", "-o", folder, "--manifest", manifest, list});
    ASSERT_TRUE(tool.waitForStarted());
    QElapsedTimer waited;
    waited.start();
    while (QDir(folder).entryList(QDir::Files).size() < 20 && waited.elapsed() < 30'000)
        QThread::msleep(5);
    ::kill(pid_t(tool.processId()), SIGTERM);
    ASSERT_TRUE(tool.waitForFinished(60'000));
    EXPECT_EQ(tool.exitCode(), 128 + SIGTERM);
    const QStringList files = filesIn(folder);
    ASSERT_LT(files.size(), 200000);
    QByteArray expected = kHeader;
    for (int i = 0; i < files.size(); ++i) {
        const QString name = QString("Output%1.png").arg(i + 1);
        ASSERT_EQ(files.at(i), name);
        expected += recordFor(i + 1, folder, name, "line" + QByteArray::number(i) + "@example.com");
    }
    EXPECT_EQ(contentOf(manifest), expected);
}

TEST_F(BatchPiecesTest, NumbersPastTheLargestAreRefusedBeforeAnyFile)
{
    const QString folder = makeFolder("out");
    const ToolRun run = runQuiet({"-o", folder, "--first-number", "2147483647", "-"}, "a\nb\n");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "Numbered from 2147483647, the list's 2 lines would pass line number 2147483647.\n");
    EXPECT_TRUE(filesIn(folder).isEmpty());
}

TEST_F(BatchPiecesTest, WrongPiecesAreACommandLineError)
{
    const QString list = writeScratchFile("list.txt", "a\n");
    for (const QStringList& arguments :
         {QStringList{"--lines", "5-3"}, QStringList{"--lines", "0-3"}, QStringList{"--lines", "-3"},
          QStringList{"--lines", "a-b"}, QStringList{"--lines", "1-2-3"}, QStringList{"--lines", "2147483648"},
          QStringList{"--first-number", "0"}, QStringList{"--first-number", "-5"},
          QStringList{"--first-number", "1", "--first-number", "2"}, QStringList{"--lines", "1", "--lines", "2"},
          QStringList{"--manifest", "a.csv", "--manifest", "b.csv"}, QStringList{"--manifest="},
          QStringList{"--manifest"}, QStringList{"--manifest", list, list}}) {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        const ToolRun run = runQuiet(arguments);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_TRUE(run.err.startsWith("pennolux-batch: ")) << run.err.toStdString();
        EXPECT_EQ(run.outBytes, "");
    }
    EXPECT_EQ(contentOf(list), "a\n");
}

TEST(BatchPieceOptionsTest, ParsesPiecesAndTheManifest)
{
    const BatchOptions defaults = parseBatchOptions({});
    EXPECT_EQ(defaults.firstNumber, 1);
    EXPECT_EQ(defaults.lines, LineRange());
    EXPECT_FALSE(defaults.writesManifest());

    const BatchOptions options = parseBatchOptions({"--first-number", "5001", "--lines=5001-7500", "--manifest", "-"});
    EXPECT_EQ(options.firstNumber, 5001);
    EXPECT_EQ(options.lines, LineRange({5001, 7500}));
    EXPECT_TRUE(options.manifestToStandardOutput());
    EXPECT_EQ(parseBatchOptions({"--lines", "7-"}).lines, LineRange({7, LineRange::kLastPossible}));
    EXPECT_EQ(parseBatchOptions({"--lines", "7"}).lines, LineRange({7, 7}));
    EXPECT_EQ(parseBatchOptions({"--manifest", "out/m.csv"}).manifestPath, "out/m.csv");
}

} // namespace
} // namespace pennolux
