#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

#include "BatchToolFixture.h"
#include "batch/BatchOptions.h"
#include "batch/ProgressBar.h"

namespace pennolux {
namespace {

const QStringList kSampleList{
    "john.smith@example.com",   "mary.jones@example.org", "peter.brown@example.net", "susan.miller@example.com",
    "david.wilson@example.org", "linda.moore@example.net", "james.taylor@example.com", "karen.clark@example.org",
    "robert.lewis@example.net", "nancy.young@example.com", "michael.hall@example.org", "lisa.allen@example.net"};

class BatchToolTest : public BatchToolFixture {
protected:
};

TEST_F(BatchToolTest, TurnsTheSampleListIntoFilesInEveryFormat)
{
    const QString list = writeScratchFile("list.txt", kSampleList.join("\r\n").toUtf8());
    const QList<QByteArray> readable = QImageReader::supportedImageFormats();
    for (const char* format : {"png", "webp", "jpeg", "tiff", "gif", "bmp"}) {
        SCOPED_TRACE(format);
        const QString destination = makeFolder(format);
        const ToolRun run = runTool({"-q", "-f", format, "-o", destination, list});
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_EQ(run.out, "Saved 12 image file(s)\n");
        EXPECT_EQ(run.err, "");
        const QStringList files = QDir(destination).entryList(QDir::Files);
        ASSERT_EQ(files.size(), 12);
        const QString extension = QString(format) == "jpeg" ? "jpg" : format;
        const QString twelfth = destination + "/Output12." + extension;
        EXPECT_TRUE(QFile::exists(twelfth));
        if (readable.contains(QByteArray(format))) {
            EXPECT_EQ(QImage(twelfth).height(), 15);
        }
    }
}

TEST_F(BatchToolTest, ReadsStandardInputWithoutAListOrWithDash)
{
    for (const QStringList& listArgument : {QStringList(), QStringList("-")}) {
        const QString destination = makeFolder(listArgument.isEmpty() ? "none" : "dash");
        const ToolRun run = runTool(QStringList{"-o", destination} + listArgument, "first\n\nthird\n");
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(run.out, "Saved 2 image file(s)\n");
        EXPECT_EQ(QDir(destination).entryList(QDir::Files), QStringList({"Output1.png", "Output3.png"}));
    }
}

// A FIFO can be read only once; the tool reads it like standard input.
TEST_F(BatchToolTest, ReadsAListFromANamedPipe)
{
    const QString fifo = scratch() + "/list.fifo";
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString destination = makeFolder("fifo");
    QProcess tool;
    tool.start(PENNOLUX_BATCH_TOOL, {"-q", "-o", destination, fifo});
    ASSERT_TRUE(tool.waitForStarted());
    QFile writer(fifo);
    ASSERT_TRUE(writer.open(QIODevice::WriteOnly));
    writer.write("first\nsecond\n");
    writer.close();
    ASSERT_TRUE(tool.waitForFinished(60'000));
    EXPECT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
    EXPECT_EQ(QDir(destination).entryList(QDir::Files), QStringList({"Output1.png", "Output2.png"}));
}

// The tool streams text lists in chunks: lines are still numbered across
// chunk boundaries, and UTF-16 is split on decoded text, not on 0x0A bytes.
TEST_F(BatchToolTest, StreamsLongAndUtf16ListsFromStandardInput)
{
    const QString longDestination = makeFolder("long");
    const ToolRun longRun = runTool({"-q", "-o", longDestination}, QByteArray("\r\n").repeated(200'000) + "last");
    EXPECT_EQ(longRun.exitCode, 0) << longRun.err.toStdString();
    EXPECT_EQ(longRun.out, "Saved 1 image file(s)\n");
    EXPECT_EQ(QDir(longDestination).entryList(QDir::Files), QStringList("Output200001.png"));

    const QString utf16Destination = makeFolder("utf16");
    static constexpr char16_t utf16Text[] = u"\u0A41x\r\n\r\ny";  // U+0A41 holds a 0x0A byte
    QByteArray utf16("\xFF\xFE", 2);
    utf16 += QByteArray(reinterpret_cast<const char*>(utf16Text), sizeof utf16Text - sizeof(char16_t));
    const ToolRun utf16Run = runTool({"-q", "-o", utf16Destination, "-"}, utf16);
    EXPECT_EQ(utf16Run.exitCode, 0) << utf16Run.err.toStdString();
    EXPECT_EQ(QDir(utf16Destination).entryList(QDir::Files), QStringList({"Output1.png", "Output3.png"}));
}

// A .doc/.docx name (in any case) goes to the document reader, so its bytes
// are not taken as a text list.
TEST_F(BatchToolTest, ReadsDocumentsThroughTheDocumentReader)
{
    const QString destination = makeFolder("out");
    const ToolRun text = runTool({"-q", "-o", destination, writeScratchFile("list.docx.txt", "a\nb\n")});
    EXPECT_EQ(text.out, "Saved 2 image file(s)\n");
    const QString document = writeScratchFile("list.DOCX", "a\nb\n");
    const ToolRun broken = runTool({"-q", "-o", destination, document});
    EXPECT_EQ(broken.exitCode, 1);
    EXPECT_TRUE(broken.err.contains("Word document")) << broken.err.toStdString();
}

TEST_F(BatchToolTest, AppliesTheOptions)
{
    const QString destination = makeFolder("out");
    const ToolRun run = runTool({"--dest=" + destination, "--size", "24", "--margins", "2,3,4,5", "--background",
                                 "#102030", "--color", "clWhite", "--bold", "--quiet", "-"},
                                "Hj");
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QImage image(destination + "/Output1.png");
    EXPECT_EQ(image.height(), 39 + 4 + 5);
    EXPECT_EQ(image.pixelColor(0, 0), QColor(0x10, 0x20, 0x30));
    EXPECT_EQ(image.pixelColor(image.width() - 1, image.height() - 1), QColor(0x10, 0x20, 0x30));
    bool whiteFound = false;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            whiteFound = whiteFound || image.pixelColor(x, y) == Qt::white;
    EXPECT_TRUE(whiteFound);
}

TEST_F(BatchToolTest, FailureIsReportedOnStandardErrorWithExitCode1)
{
    const QString destination = scratch() + "/missing";
    const ToolRun run = runTool({"-q", "-o", destination}, "a\nb\n");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "Saved 0 image file(s)\n");
    EXPECT_EQ(run.err, "Cannot create file \"" + destination + "/Output1.png\". No such file or directory.\n");

    // A line no image can hold is named, and the files before it are counted.
    const QString out = makeFolder("long");
    const ToolRun longLine = runTool({"-q", "-o", out}, "first\njohn" + QByteArray(70000, 'x') + "\nthird\n");
    EXPECT_EQ(longLine.exitCode, 1);
    EXPECT_EQ(longLine.out, "Saved 1 image file(s)\n");
    EXPECT_EQ(longLine.err, QString::fromUtf8("Line 2 (\"johnxxxxxxxxxxxxxxxx…\"): The line of 70004 characters is too "
                                              "long for an image (at most 65535 characters)\n"));
    EXPECT_EQ(QDir(out).entryList(QDir::Files), QStringList("Output1.png"));
}

// A line's escape codes never reach the terminal: the message shows them
// escaped, while the manifest and the images keep the line as it is.
TEST_F(BatchToolTest, StandardErrorShowsALinesEscapeCodesEscaped)
{
    const QString out = makeFolder("escapes");
    const QByteArray coloured = "\x1b[1mbold\x1b[0m";
    const ToolRun run = runTool({"-q", "-o", out, "--manifest", "-"},
                                coloured + "\n\x1b]0;title\x07\x1b[2J" + QByteArray(70000, 'x') + "\n");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_FALSE(run.err.contains(QChar(0x1b))) << run.err.toStdString();
    EXPECT_TRUE(run.err.startsWith("Line 2 (\"\\x1B]0;title\\x07\\x1B[2Jxxxxxx…\"): The line of 70014 characters"))
        << run.err.toStdString();
    EXPECT_TRUE(run.outBytes.contains("\n1,Output1.png," + coloured + ",")) << run.outBytes.toStdString();
    const ToolRun font = runTool({"-q", "-o", out, "--font", "No\x1b[31mSuch"}, "a\n");
    EXPECT_FALSE(font.err.contains(QChar(0x1b))) << font.err.toStdString();
    EXPECT_TRUE(font.err.contains("\"No\\x1B[31mSuch\"")) << font.err.toStdString();
}

// Under a file-size limit every write fails with EFBIG and is reported; the
// limit's signal does not end the tool in the middle of a file.
TEST_F(BatchToolTest, AFileSizeLimitIsReportedAndLeavesNoPartFile)
{
    const QString destination = makeFolder("limited");
    QProcess tool;
    tool.setChildProcessModifier([] {
        const rlimit limit{100, 100};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    });
    tool.start(PENNOLUX_BATCH_TOOL, {"-q", "-f", "bmp", "-o", destination, "-"});
    ASSERT_TRUE(tool.waitForStarted());
    tool.write("a long enough line to make a bitmap of more than a hundred bytes\n");
    tool.closeWriteChannel();
    ASSERT_TRUE(tool.waitForFinished(60'000));
    EXPECT_EQ(tool.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(tool.exitCode(), 1);
    EXPECT_EQ(QString::fromUtf8(tool.readAllStandardError()),
              "Cannot create file \"" + destination + "/Output1.bmp\". File too large.\n");
    EXPECT_TRUE(QDir(destination).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

// SIGINT and SIGTERM stop the run after the file in hand: every file on disk
// is whole, the summary counts them, and the exit status names the signal.
TEST_F(BatchToolTest, AnInterruptStopsCleanlyAndCountsWhatWasSaved)
{
    QByteArray lines;
    for (int i = 0; i < 200000; ++i)
        lines += "line" + QByteArray::number(i) + "@example.com\n";
    const QString list = writeScratchFile("long.txt", lines);
    for (const int signal : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(signal);
        const QString destination = makeFolder(QString("signal%1").arg(signal));
        QProcess tool;
        tool.start(PENNOLUX_BATCH_TOOL, {"-q", "-o", destination, list});
        ASSERT_TRUE(tool.waitForStarted());
        QElapsedTimer waited;
        waited.start();
        while (QDir(destination).entryList(QDir::Files).size() < 20 && waited.elapsed() < 30'000)
            QThread::msleep(5);
        ::kill(pid_t(tool.processId()), signal);
        ASSERT_TRUE(tool.waitForFinished(60'000));
        EXPECT_EQ(tool.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(tool.exitCode(), 128 + signal);
        const QStringList files = QDir(destination).entryList(QDir::Files | QDir::Hidden, QDir::Name);
        EXPECT_EQ(QString::fromUtf8(tool.readAllStandardOutput()),
                  QString("Saved %1 image file(s)\n").arg(files.size()));
        EXPECT_LT(files.size(), 200000);
        for (const QString& name : files)
            EXPECT_FALSE(QImage(destination + '/' + name).isNull()) << name.toStdString();
    }
}

TEST_F(BatchToolTest, WarnsWhenTheFontFamilyIsMissing)
{
    const QString destination = makeFolder("font");
    const ToolRun run = runTool({"-q", "-o", destination, "--font", "No Such Family 42"}, "a\n");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.err.startsWith("pennolux-batch: warning: there is no font family \"No Such Family 42\"; "
                                   "drawing in \""))
        << run.err.toStdString();
    EXPECT_EQ(runTool({"-q", "-o", destination, "--font", "Tahoma"}, "a\n").err, "");
}

// Over SSH from a themed desktop: the theme's variable is set, no display is.
TEST_F(BatchToolTest, WritesItsImagesWithADesktopThemeAndNoDisplay)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORMTHEME", "gtk3");
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(name);
    const QString destination = makeFolder("out");
    const ToolRun run = runTool({"-qo", destination, "--background", "white"}, "Hj\n", environment);
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.err, "");
    const QImage image(destination + "/Output1.png");
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::white));
}

TEST_F(BatchToolTest, WrongCommandLineExitsWith2)
{
    for (const QStringList& arguments : {QStringList{"--bogus"}, QStringList{"--margins", "1,2,3"},
                                         QStringList{"-f", "xyz"}, QStringList{"a.txt", "b.txt"},
                                         QStringList{"-o", "a", "--dest", "b"}}) {
        const ToolRun run = runTool(arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(run.err.startsWith("pennolux-batch: ")) << run.err.toStdString();
        EXPECT_EQ(run.out, "");
    }
}

TEST_F(BatchToolTest, ShowsVersionAndHelp)
{
    const ToolRun version = runTool({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(version.out.startsWith("pennolux-batch 2.1\n"));
    const ToolRun help = runTool({"-h"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.startsWith("Usage: pennolux-batch [OPTIONS] [LIST]"));
}

TEST(BatchOptionsTest, ParsesEveryOption)
{
    const BatchOptions defaults = parseBatchOptions({});
    EXPECT_TRUE(defaults.readsStandardInput());
    EXPECT_EQ(defaults.format, ImageFormat::PNG);
    EXPECT_EQ(defaults.background, colors::clSkyBlue);
    EXPECT_EQ(defaults.textColor, colors::clWindowText);
    EXPECT_EQ(defaults.fontFamily, "Tahoma");
    EXPECT_EQ(defaults.pointSize, 8);
    EXPECT_EQ(defaults.left + defaults.right + defaults.top + defaults.bottom, 4);

    const BatchOptions options =
        parseBatchOptions({"-o", "out", "--format=GIF", "--background", "clRed", "--font", "DejaVu Sans", "--size",
                           "12", "--italic", "--underline", "--strikeout", "--color", "#00FF00", "--margins",
                           "0,999999999,7,8", "-q", "--", "-list.txt"});
    EXPECT_EQ(options.destination, "out");
    EXPECT_EQ(options.format, ImageFormat::GIF);
    EXPECT_EQ(options.background.value(), 0x0000FFu);
    EXPECT_EQ(options.fontFamily, "DejaVu Sans");
    EXPECT_EQ(options.pointSize, 12);
    EXPECT_TRUE(options.italic && options.underline && options.strikeOut && options.quiet);
    EXPECT_FALSE(options.bold);
    EXPECT_EQ(options.textColor.value(), 0x00FF00u);
    EXPECT_EQ(options.right, 999'999'999);
    EXPECT_EQ(options.bottom, 8);
    EXPECT_EQ(options.listPath, "-list.txt");
}

TEST(BatchOptionsTest, RefusesWhatItCannotFollow)
{
    for (const QStringList& arguments :
         {QStringList{"--margins", "1,1,1,1000000000"}, QStringList{"--margins", "1,1,-1,1"},
          QStringList{"--size", "0"}, QStringList{"--size", "eight"}, QStringList{"--background", "clNoSuch"},
          QStringList{"-o"}, QStringList{"--quiet=yes"}, QStringList{"-x"}}) {
        EXPECT_THROW(parseBatchOptions(arguments), BatchUsageError) << arguments.join(' ').toStdString();
    }
}

TEST(ProgressBarTest, ShowsShareCountRateAndTimeLeftWithinTheLine)
{
    const QString line = ProgressBar::format(50, 200, 10.0, 80);
    EXPECT_EQ(line.size(), 79);
    EXPECT_TRUE(line.startsWith("[###"));
    for (const char* part : {" 25% ", " 50/200 ", " 5 img/s ", " 0:30 left"})
        EXPECT_TRUE(line.contains(part)) << line.toStdString();
    EXPECT_EQ(ProgressBar::format(150, 200, 10.0, 80).size(), 79);
}

} // namespace
} // namespace pennolux
