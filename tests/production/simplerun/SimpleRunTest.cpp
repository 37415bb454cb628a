#include <QDir>
#include <QFile>
#include <QImage>
#include <algorithm>
#include <gtest/gtest.h>
#include <utility>
#include <vector>

#include "IsolatedHomeTest.h"
#include "platform/AppError.h"
#include "app/DesignFont.h"
#include "production/textlist/ListLines.h"
#include "production/simplerun/SimpleRun.h"
#include "production/simplerun/TextMetrics.h"

namespace pennolux {
namespace {

// Every behaviour of the run, with one thread and with workers ahead of the
// storing thread: both must leave exactly the same files.
class SimpleRunTest : public testing::IsolatedHomeTest, public ::testing::WithParamInterface<int> {
protected:
    int threads() const { return GetParam(); }

    SimpleRunSettings settingsInto(const QString& destination) const
    {
        SimpleRunSettings settings;
        settings.destination = destination;
        settings.background = QColor(166, 202, 240);
        settings.font = designFont(8);
        settings.textColor = Qt::black;
        return settings;
    }

    SimpleRunResult run(const QStringList& lines, const SimpleRunSettings& settings,
                        const SimpleRunProgress& progress = {}) const
    {
        return runSimpleBatch(StringListLineSource(lines), settings, threads(), progress);
    }

    static QStringList filesIn(const QString& folder)
    {
        return QDir(folder).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    }
};

TEST_P(SimpleRunTest, EmptyListMakesNothing)
{
    const SimpleRunResult result = run({}, settingsInto(scratch()));
    EXPECT_EQ(result.linesSeen, 0);
    EXPECT_EQ(result.made, 0);
    EXPECT_TRUE(filesIn(scratch()).isEmpty());
}

TEST_P(SimpleRunTest, EmptyLinesAreSkippedButNumbered)
{
    std::vector<std::pair<int, int>> progress;
    const SimpleRunResult result = run({"alice@example.com", "", "carol@example.com"}, settingsInto(scratch()),
                                       [&progress](int seen, int count) { progress.emplace_back(seen, count); });
    EXPECT_EQ(result.linesSeen, 3);
    EXPECT_EQ(result.made, 2);
    EXPECT_EQ(filesIn(scratch()), QStringList({"Output1.png", "Output3.png"}));
    EXPECT_EQ(progress, (std::vector<std::pair<int, int>>{{1, 3}, {2, 3}, {3, 3}}));

    const SimpleRunResult allEmpty = run({"", ""}, settingsInto(scratch()));
    EXPECT_EQ(allEmpty.linesSeen, 2);
    EXPECT_EQ(allEmpty.made, 0);
    EXPECT_EQ(filesIn(scratch()).size(), 2);
}

TEST_P(SimpleRunTest, SecondRunTakesTheNextFreeNames)
{
    run({"a", "b"}, settingsInto(scratch()));
    run({"a", "b"}, settingsInto(scratch()));
    EXPECT_EQ(filesIn(scratch()), QStringList({"Output1 (2).png", "Output1.png", "Output2 (2).png", "Output2.png"}));
}

TEST_P(SimpleRunTest, MissingDestinationStopsAtTheFirstLine)
{
    const QString destination = scratch() + "/missing";
    try {
        run({"", "a", "b"}, settingsInto(destination));
        FAIL() << "no error";
    } catch (const AppError& error) {
        EXPECT_EQ(error.message(),
                  "Cannot create file \"" + destination + "/Output2.png\". No such file or directory");
    }
    EXPECT_TRUE(filesIn(scratch()).isEmpty());
}

TEST_P(SimpleRunTest, StopsAtTheFirstLineThatCannotBeWrittenAndKeepsEarlierFiles)
{
    QDir(scratch()).mkdir("Output3.png");
    QStringList lines;
    for (int i = 1; i <= 40; ++i)
        lines.append(QString("line%1@example.com").arg(i));
    EXPECT_THROW(run(lines, settingsInto(scratch())), AppError);
    EXPECT_EQ(filesIn(scratch()), QStringList({"Output1.png", "Output2.png", "Output3.png"}));
    EXPECT_TRUE(QFileInfo(scratch() + "/Output3.png").isDir());
}

TEST_P(SimpleRunTest, AbsurdMarginFailsNamingTheSize)
{
    SimpleRunSettings settings = settingsInto(scratch());
    settings.left = 999'999'999;
    const qint64 width = qint64(GetTextWidth("a", settings.font)) + settings.left + settings.right;
    try {
        run({"a"}, settings);
        FAIL() << "no error";
    } catch (const AppError& error) {
        EXPECT_TRUE(error.message().contains(QString::number(width))) << error.what();
    }
    EXPECT_TRUE(filesIn(scratch()).isEmpty());
}

// The count is asked before every line: lines added while the run walks the
// list are made too.
TEST_P(SimpleRunTest, ReadsTheLineCountBeforeEveryLine)
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
    const SimpleRunResult result = runSimpleBatch(GrowingLines(), settingsInto(scratch()), threads());
    EXPECT_EQ(result.made, 4);
}

// The files decode to exactly the image renderSimpleImage draws, also when
// lines of different sizes follow each other.
TEST_P(SimpleRunTest, FilesHoldTheRenderedImages)
{
    SimpleRunSettings settings = settingsInto(scratch());
    settings.font.setItalic(true);
    settings.left = 3;
    settings.bottom = 4;
    const QStringList lines{"short", "a much longer line of text @ example.com", "j", "   ", "Ünïcödé ∑ line"};
    run(lines, settings);
    const RenderFont font(settings.font);
    for (int i = 0; i < lines.size(); ++i) {
        SCOPED_TRACE(i);
        const QImage file(scratch() + QString("/Output%1.png").arg(i + 1));
        EXPECT_EQ(file.convertToFormat(QImage::Format_RGB32), renderSimpleImage(lines[i], settings, font));
    }
}

INSTANTIATE_TEST_SUITE_P(Threads, SimpleRunTest, ::testing::Values(1, 3));

class SimpleRunThreadsTest : public testing::IsolatedHomeTest {};

TEST_F(SimpleRunThreadsTest, WorkersWriteTheSameBytesAsOneThread)
{
    QStringList lines;
    for (int i = 0; i < 60; ++i)
        lines.append(i % 7 == 3 ? QString() : QString("user%1.name@example%2.org").arg(i * 37).arg(i % 5));
    SimpleRunSettings settings;
    settings.background = QColor(166, 202, 240);
    settings.font = designFont(8);
    settings.textColor = Qt::black;
    for (const int threads : {1, 2}) {
        settings.destination = scratch() + QString("/threads%1").arg(threads);
        QDir().mkpath(settings.destination);
        runSimpleBatch(StringListLineSource(lines), settings, threads);
    }
    const QDir one(scratch() + "/threads1");
    const QStringList names = one.entryList(QDir::Files, QDir::Name);
    ASSERT_EQ(names.size(), 60 - 9);
    EXPECT_EQ(QDir(scratch() + "/threads2").entryList(QDir::Files, QDir::Name), names);
    for (const QString& name : names) {
        QFile first(one.filePath(name));
        QFile second(scratch() + "/threads2/" + name);
        ASSERT_TRUE(first.open(QIODevice::ReadOnly) && second.open(QIODevice::ReadOnly));
        EXPECT_EQ(first.readAll(), second.readAll()) << name.toStdString();
    }
}

} // namespace
} // namespace pennolux
