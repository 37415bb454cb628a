#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <utility>
#include <vector>

#include "IsolatedHomeTest.h"
#include "platform/AppError.h"
#include "production/linerun/LineRun.h"
#include "production/textlist/ListLines.h"

namespace pennolux {
namespace {

// Writes a line's own text as its file, so each file shows which line made
// it; a line starting with "!" cannot be encoded.
class TextEncoder final : public LineEncoder {
public:
    EncodedImage encode(const QString& text) override
    {
        if (text.startsWith(u'!'))
            throw AppError("The image of 70000 × 15 pixels is too large");
        // A line starting with "~" stands for one whose text its image cuts off.
        return {text.toUtf8(), QSize(int(text.size()), 1), !text.startsWith(u'~')};
    }
};

LineEncoderFactory textEncoders()
{
    return [] { return std::make_unique<TextEncoder>(); };
}

// Every behaviour of the run, with one thread and with workers ahead of the
// storing thread: both must leave exactly the same files.
class LineRunTest : public testing::IsolatedHomeTest, public ::testing::WithParamInterface<int> {
protected:
    LineRunOptions optionsInto(const QString& destination) const
    {
        LineRunOptions options;
        options.destination = destination;
        options.threads = GetParam();
        return options;
    }
    LineRunResult run(const QStringList& lines, const LineRunOptions& options) const
    {
        return runLines(StringListLineSource(lines), textEncoders(), options);
    }
    LineRunResult run(const QStringList& lines) const { return run(lines, optionsInto(scratch())); }

    QStringList files() const
    {
        return QDir(scratch()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    }
    QByteArray contentOf(const QString& name) const
    {
        QFile file(scratch() + '/' + name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    // The run's error text, or "" when it finished.
    QString errorOf(const QStringList& lines, const LineRunOptions& options) const
    {
        try {
            run(lines, options);
        } catch (const AppError& error) {
            return error.message();
        }
        return {};
    }
};

TEST_P(LineRunTest, EmptyLinesAreSkippedButNumbered)
{
    std::vector<std::pair<int, int>> progress;
    LineRunOptions options = optionsInto(scratch());
    options.progress = [&progress](int seen, int count) {
        progress.emplace_back(seen, count);
        return true;
    };
    const LineRunResult result = run({"alice@example.com", "", "carol@example.com"}, options);
    EXPECT_EQ(result.linesSeen, 3);
    EXPECT_EQ(result.made, 2);
    EXPECT_FALSE(result.stopped);
    EXPECT_EQ(files(), QStringList({"Output1.png", "Output3.png"}));
    EXPECT_EQ(contentOf("Output3.png"), "carol@example.com");
    EXPECT_EQ(progress, (std::vector<std::pair<int, int>>{{1, 3}, {2, 3}, {3, 3}}));

    const LineRunResult allEmpty = run({"", ""});
    EXPECT_EQ(allEmpty.linesSeen, 2);
    EXPECT_EQ(allEmpty.made, 0);
    const LineRunResult none = run({});
    EXPECT_EQ(none.linesSeen, 0);
    EXPECT_EQ(files().size(), 2);
}

TEST_P(LineRunTest, RepeatedRunsTakeTheNextFreeNamesAndReportThem)
{
    run({"a", "b"});
    std::vector<StoredLine> stored;
    LineRunOptions options = optionsInto(scratch());
    options.stored = [&stored](const StoredLine& line) { stored.push_back(line); };
    run({"a", "b"}, options);
    EXPECT_EQ(files(), QStringList({"Output1 (2).png", "Output1.png", "Output2 (2).png", "Output2.png"}));
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_EQ(stored[1].number, 2);
    EXPECT_EQ(stored[1].text, "b");
    EXPECT_EQ(stored[1].file, scratch() + "/Output2 (2).png");
    EXPECT_EQ(stored[1].size, QSize(1, 1));
}

TEST_P(LineRunTest, NumbersCountOnFromTheFirstNumber)
{
    LineRunOptions options = optionsInto(scratch());
    options.firstNumber = 101;
    options.format = ImageFormat::GIF;
    run({"a", "", "c"}, options);
    EXPECT_EQ(files(), QStringList({"Output101.gif", "Output103.gif"}));
}

TEST_P(LineRunTest, AStoreThatFailsStopsTheRunAndKeepsEarlierFiles)
{
    QDir(scratch()).mkdir("Output3.png");
    QStringList lines;
    for (int i = 1; i <= 40; ++i)
        lines.append(QString("line%1@example.com").arg(i));
    EXPECT_EQ(errorOf(lines, optionsInto(scratch())),
              "Cannot create file \"" + scratch() + "/Output3.png\". Is a directory");
    EXPECT_EQ(files(), QStringList({"Output1.png", "Output2.png", "Output3.png"}));

    const QString missing = scratch() + "/missing";
    EXPECT_EQ(errorOf({"", "a", "b"}, optionsInto(missing)),
              "Cannot create file \"" + missing + "/Output2.png\". No such file or directory");
}

// A worker's failure surfaces in line order: everything before it is written,
// nothing after it, and the error names the line.
TEST_P(LineRunTest, ALineThatCannotBeEncodedStopsTheRunAndIsNamed)
{
    QStringList lines;
    for (int i = 1; i <= 30; ++i)
        lines.append(i == 17 ? QString("!john.smith.the.third@example.com") : QString("line %1").arg(i));
    int stored = 0;
    LineRunOptions options = optionsInto(scratch());
    options.stored = [&stored](const StoredLine&) { ++stored; };
    EXPECT_EQ(errorOf(lines, options),
              QString::fromUtf8("Line 17 (\"!john.smith.the.thir…\"): The image of 70000 × 15 pixels is too large"));
    EXPECT_EQ(stored, 16);
    EXPECT_EQ(files().size(), 16);
    EXPECT_TRUE(QFile::exists(scratch() + "/Output16.png"));
    EXPECT_FALSE(QFile::exists(scratch() + "/Output18.png"));
}

TEST_P(LineRunTest, ProgressCanStopTheRunAfterALine)
{
    LineRunOptions options = optionsInto(scratch());
    options.progress = [](int seen, int) { return seen < 2; };
    const LineRunResult result = run({"a", "b", "c", "d"}, options);
    EXPECT_EQ(result.linesSeen, 2);
    EXPECT_EQ(result.made, 2);
    EXPECT_TRUE(result.stopped);
    EXPECT_EQ(files(), QStringList({"Output1.png", "Output2.png"}));
}

// The count is asked before every line: lines added while the run walks the
// list are made too.
TEST_P(LineRunTest, ReadsTheLineCountBeforeEveryLine)
{
    class GrowingLines : public LineSource {
    public:
        int lineCount() const override { return std::min(read_ + 1, 4); }
        QString line(int index) const override
        {
            read_ = std::max(read_, index + 1);
            return QString("line %1").arg(index + 1);
        }

    private:
        mutable int read_ = 0;
    };
    const LineRunResult result = runLines(GrowingLines(), textEncoders(), optionsInto(scratch()));
    EXPECT_EQ(result.made, 4);
}

TEST_P(LineRunTest, LinesCutOffInTheirImagesAreCountedAndTheFirstTenNamed)
{
    QStringList lines{"whole", "~cut", "", "whole"};
    for (int i = 0; i < 11; ++i)
        lines << "~again";
    const LineRunResult result = run(lines);
    EXPECT_EQ(result.made, 14);
    EXPECT_EQ(result.cutLines, 12);
    EXPECT_EQ(result.firstCutLines, (std::vector<int>{2, 5, 6, 7, 8, 9, 10, 11, 12, 13}));
    EXPECT_EQ(cutLinesSentence(result), "12 lines run off the image.");
    EXPECT_EQ(cutLinesListing(result), "12 lines run off the image: line 2, line 5, line 6, line 7, line 8, line 9, "
                                       "line 10, line 11, line 12, line 13, …");

    LineRunOptions numbered = optionsInto(scratch());
    numbered.firstNumber = 17;
    const LineRunResult one = run({"fine", "~only"}, numbered);
    EXPECT_EQ(cutLinesListing(one), "1 line runs off the image: line 18");
    EXPECT_EQ(cutLinesSentence(one), "1 line runs off the image.");
    EXPECT_EQ(cutLinesSentence(run({"all", "whole"})), "");
}

INSTANTIATE_TEST_SUITE_P(Threads, LineRunTest, ::testing::Values(1, 3));

TEST(LineErrorText, QuotesTheStartOfTheLine)
{
    EXPECT_EQ(lineErrorText(2, "john@example.com", "Too large"), "Line 2 (\"john@example.com\"): Too large");
    EXPECT_EQ(lineErrorText(9, QString(21, u'a'), "x"), QString::fromUtf8("Line 9 (\"aaaaaaaaaaaaaaaaaaaa…\"): x"));
}

// What a terminal would act on or hide is shown escaped, so a line cannot
// recolour, rewrite or forge the messages around its own.
TEST(LineErrorText, ShowsControlCharactersEscaped)
{
    struct Case {
        QString line;
        const char* quoted;
    };
    const Case cases[] = {
        {"\x1b[31mred\x1b[0m", "\\x1B[31mred\\x1B[0m"},
        {"a\tb\rc\nd", "a\\tb\\rc\\nd"},
        {QString("nul") + QChar(0) + "\x7f" + QChar(0x9b) + "2J", "nul\\x00\\x7F\\x9B2J"},
        {QString("one") + QChar(0x2028) + "two" + QChar(0x2029), "one\\u2028two\\u2029"},
        {QString("abc") + QChar(0x202E) + "fed", "abc\\u202Efed"},
        {QString("lone") + QChar(0xD800) + "!", "lone\\uD800!"},
        // A backslash is doubled: the quote of "\x1B" differs from ESC's.
        {"C:\\x1B\\", "C:\\\\x1B\\\\"},
        // What is no control stays as it is.
        {QString::fromUtf8("Zoë “quoted” 😀 ∑"), "Zoë “quoted” 😀 ∑"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.quoted);
        EXPECT_EQ(lineErrorText(3, c.line, "x"), QString::fromUtf8("Line 3 (\"%1\"): x").arg(QString::fromUtf8(c.quoted)));
    }
}

// The quote is cut after 20 whole characters as one sees them: an emoji (two
// UTF-16 units, or several joined) or a letter with its accent is never cut.
TEST(LineErrorText, CutsTheQuoteOnWholeCharacters)
{
    const QString family = QString::fromUtf8("👨‍👩‍👧");  // one character of 8 units
    const QString accented = QString("e") + QChar(0x0301);
    struct Case {
        QString line;
        QString quoted;
    };
    const Case cases[] = {
        {QString(19, u'a') + QString::fromUtf8("😀😀"), QString(19, u'a') + QString::fromUtf8("😀…")},
        {QString::fromUtf8("😀").repeated(21), QString::fromUtf8("😀").repeated(20) + QString::fromUtf8("…")},
        {QString::fromUtf8("😀").repeated(20), QString::fromUtf8("😀").repeated(20)},
        {family.repeated(25), family.repeated(20) + QString::fromUtf8("…")},
        {accented.repeated(22), accented.repeated(20) + QString::fromUtf8("…")},
        {QString(18, u'a') + "\x1b\x1b\x1b", QString(18, u'a') + "\\x1B\\x1B…"},
        // A megabyte line is quoted without being scanned whole.
        {QString(1 << 20, u'b'), QString(20, u'b') + QString::fromUtf8("…")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.quoted.toStdString());
        EXPECT_EQ(lineErrorText(4, c.line, "x"), QString::fromUtf8("Line 4 (\"%1\"): x").arg(c.quoted));
    }
}

// A failing line's message is escaped; the files keep every line as it is.
TEST_P(LineRunTest, MessagesEscapeALinesControlsAndFilesKeepThem)
{
    const QString coloured = "\x1b[1mbold\x1b[0m";
    EXPECT_EQ(errorOf({coloured, "!\x1b]0;title\x07"}, optionsInto(scratch())),
              "Line 2 (\"!\\x1B]0;title\\x07\"): The image of 70000 × 15 pixels is too large");
    EXPECT_EQ(contentOf("Output1.png"), coloured.toUtf8());
}

} // namespace
} // namespace pennolux
