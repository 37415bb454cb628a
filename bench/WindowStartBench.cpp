// The Simple page's START against the batch tool on the same list: the
// window's time runs from the click on START to the summary box (the box is
// injected and returns at once), the batch tool's from its start to its exit,
// so the window is not charged for reading the list it already holds. The two
// take turns for R rounds, each into a fresh folder; the best of each counts.
//
//   bench_window_start --batch FILE [--lines N] [--rounds R] [--work DIR]
//
// The work folder (default a new one under /dev/shm) should be on tmpfs, so
// the disk does not decide. Prints "key=value" lines; times in seconds,
// window_vs_batch is the batch tool's time over the window's (1.00: as fast).

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <memory>
#include <optional>
#include <stdexcept>

#include "BenchWindow.h"
#include "platform/MessageBoxes.h"
#include "ui/MemoFill.h"

namespace {

struct Options {
    QString batch;
    int lines = 100000;
    int rounds = 3;
    QString work;
};

// Keeps the moment the first box is shown and what it said.
class TimedMessages final : public pennolux::MessageBoxes {
public:
    void show(QWidget*, const QString& title, const QString& text, pennolux::MessageIcon) override
    {
        if (!shownAfter)
            shownAfter = started.nsecsElapsed();
        summary = title + ": " + text;
    }
    bool askYesNo(QWidget*, const QString&, const QString&) override { return false; }
    pennolux::SaveChoice askSaveChanges(QWidget*, const QString&, const QString&) override
    {
        return pennolux::SaveChoice::Discard;
    }

    QElapsedTimer started;
    std::optional<qint64> shownAfter;
    QString summary;
};

// Lines like a mailing list's, of varied length, as run-benchmarks writes them.
QString generatedList(int lines)
{
    QString text;
    text.reserve(qsizetype(lines) * 28);
    for (int line = 1; line <= lines; ++line) {
        text += QStringLiteral("member%1.%2@example%3.org").arg(line).arg(QString(line % 7 + 1, u'x')).arg(line % 13);
        if (line < lines)
            text += u'\n';
    }
    return text;
}

qsizetype filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files).size();
}

double windowRun(const QString& list, const QString& folder)
{
    TimedMessages messageBoxes;
    bench::BenchWindow benchWindow(messageBoxes);
    pennolux::TAppForm& window = benchWindow.form();
    pennolux::fillMemo(*window.MemoList, list);
    window.ComboBoxDestination1->setEditText(folder);
    window.show();
    (void)QTest::qWaitForWindowExposed(&window);
    QCoreApplication::processEvents();

    messageBoxes.started.start();
    QTest::mouseClick(window.Button4, Qt::LeftButton);
    if (!messageBoxes.shownAfter)
        throw std::runtime_error("the window's run showed no summary");
    std::fprintf(stderr, "window: %s\n", qPrintable(messageBoxes.summary));
    return double(*messageBoxes.shownAfter) / 1e9;
}

double batchRun(const Options& options, const QString& listFile, const QString& folder)
{
    QProcess batch;
    batch.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer timer;
    timer.start();
    batch.start(options.batch, {"-q", "-f", "png", "-o", folder, listFile});
    if (!batch.waitForFinished(-1) || batch.exitStatus() != QProcess::NormalExit || batch.exitCode() != 0)
        throw std::runtime_error("pennolux-batch failed");
    return double(timer.nsecsElapsed()) / 1e9;
}

bool parseOptions(const QStringList& arguments, Options& options)
{
    for (qsizetype i = 1; i + 1 < arguments.size(); i += 2) {
        const QString& option = arguments[i];
        const QString& value = arguments[i + 1];
        if (option == "--batch")
            options.batch = value;
        else if (option == "--lines")
            options.lines = std::max(1, value.toInt());
        else if (option == "--rounds")
            options.rounds = std::max(1, value.toInt());
        else if (option == "--work")
            options.work = value;
        else
            return false;
    }
    return arguments.size() % 2 == 1 && !options.batch.isEmpty();
}

void measure(const Options& options, const QString& work)
{
    const QString list = generatedList(options.lines);
    const QString listFile = work + "/list.txt";
    QFile file(listFile);
    if (!file.open(QIODevice::WriteOnly) || file.write(list.toUtf8()) < 0)
        throw std::runtime_error("cannot write the list");
    file.close();

    double bestWindow = 1e9;
    double bestBatch = 1e9;
    for (int round = 0; round < options.rounds; ++round) {
        const QString windowFolder = work + QStringLiteral("/window%1").arg(round);
        const QString batchFolder = work + QStringLiteral("/batch%1").arg(round);
        QDir().mkpath(windowFolder);
        QDir().mkpath(batchFolder);
        double windowSeconds = 0;
        double batchSeconds = 0;
        if (round % 2 == 0) {
            windowSeconds = windowRun(list, windowFolder);
            batchSeconds = batchRun(options, listFile, batchFolder);
        } else {
            batchSeconds = batchRun(options, listFile, batchFolder);
            windowSeconds = windowRun(list, windowFolder);
        }
        if (filesIn(windowFolder) != options.lines || filesIn(batchFolder) != options.lines)
            throw std::runtime_error("a run did not write one file per line");
        std::printf("round%d_window_seconds=%.3f\nround%d_batch_seconds=%.3f\n", round, windowSeconds, round,
                    batchSeconds);
        bestWindow = std::min(bestWindow, windowSeconds);
        bestBatch = std::min(bestBatch, batchSeconds);
        // The next round's files should not find this one's in the page cache.
        QDir(windowFolder).removeRecursively();
        QDir(batchFolder).removeRecursively();
    }
    std::printf("lines=%d\nwindow_start_seconds=%.3f\nbatch_seconds=%.3f\nwindow_vs_batch=%.2f\n", options.lines,
                bestWindow, bestBatch, bestBatch / bestWindow);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    Options options;
    if (!parseOptions(QCoreApplication::arguments(), options)) {
        std::fprintf(stderr, "usage: bench_window_start --batch FILE [--lines N] [--rounds R] [--work DIR]\n");
        return 2;
    }
    try {
        std::unique_ptr<QTemporaryDir> scratch;
        QString work = options.work;
        if (work.isEmpty()) {
            scratch = std::make_unique<QTemporaryDir>(
                QDir("/dev/shm").exists() ? "/dev/shm/bench_window_start-XXXXXX" : QString());
            if (!scratch->isValid())
                throw std::runtime_error("no work folder");
            work = scratch->path();
        }
        QDir().mkpath(work);
        measure(options, work);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
