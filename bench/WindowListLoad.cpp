// How the window's list copes with long lists: the time from a list file to a
// painted editor (read and decode as the open button does, fill, first paint),
// with the list filled both by fillMemo, as the window does, and by plain
// setPlainText, side by side; and the time a key press in a long list takes to
// be handled and painted. The editor is set up like the main window's list.
//
//   bench_window_list_load [--typing-lines N] [--presses K] [--rounds R] LIST
//
// Each fill is timed R times in a fresh editor, the two ways taking turns so
// neither always finds the memory the other has just freed; the best counts.
// Prints "key=value" lines; times in seconds, latencies in milliseconds.

#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QStringList>
#include <QTest>
#include <QTextCursor>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <vector>

#include "BenchWindow.h"
#include "platform/widgets/QtMessageBoxes.h"
#include "production/textlist/TextListFile.h"
#include "ui/MemoFill.h"

namespace {

struct Options {
    QString listPath;
    int typingLines = 100000;
    int presses = 40;
    int rounds = 2;
};

void configureLikeTheWindowsList(QPlainTextEdit& editor)
{
    editor.setLineWrapMode(QPlainTextEdit::NoWrap);
    editor.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    editor.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    editor.resize(320, 400);
}

double seconds(const QElapsedTimer& timer)
{
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

void paintNow(QPlainTextEdit& editor)
{
    QCoreApplication::processEvents();
    editor.viewport()->repaint();
}

// By the list's rule: a final line break does not start another line.
qsizetype listLineCount(const QString& text)
{
    if (text.isEmpty())
        return 0;
    return text.count(u'\n') + (text.endsWith(u'\n') ? 0 : 1);
}

struct FillTimes {
    double fillSeconds = 0;
    double paintSeconds = 0;
};

template <typename Fill>
FillTimes timeFill(const QString& text, Fill fill)
{
    QPlainTextEdit editor;
    configureLikeTheWindowsList(editor);
    editor.show();
    (void)QTest::qWaitForWindowExposed(&editor);
    FillTimes times;
    QElapsedTimer timer;
    timer.start();
    fill(editor, text);
    times.fillSeconds = seconds(timer);
    timer.restart();
    paintNow(editor);
    times.paintSeconds = seconds(timer);
    return times;
}

FillTimes faster(const FillTimes& a, const FillTimes& b)
{
    return a.fillSeconds + a.paintSeconds <= b.fillSeconds + b.paintSeconds ? a : b;
}

void measureLoading(const Options& options, QString& text)
{
    QElapsedTimer timer;
    timer.start();
    text = pennolux::loadTextList(options.listPath, bench::NoDocumentReaders(), "windows-1252");
    const double loadSeconds = seconds(timer);

    const auto setPlainText = [](QPlainTextEdit& editor, const QString& list) { editor.setPlainText(list); };
    const auto fillMemo = [](QPlainTextEdit& editor, const QString& list) { pennolux::fillMemo(editor, list); };
    FillTimes plain{1e9, 0};
    FillTimes filled{1e9, 0};
    for (int round = 0; round < options.rounds; ++round) {
        if (round % 2 == 0) {
            plain = faster(plain, timeFill(text, setPlainText));
            filled = faster(filled, timeFill(text, fillMemo));
        } else {
            filled = faster(filled, timeFill(text, fillMemo));
            plain = faster(plain, timeFill(text, setPlainText));
        }
    }

    std::printf("list_lines=%lld\n", static_cast<long long>(listLineCount(text)));
    std::printf("read_and_decode_seconds=%.3f\n", loadSeconds);
    std::printf("set_plain_text_seconds=%.3f\n", plain.fillSeconds);
    std::printf("set_plain_text_first_paint_seconds=%.3f\n", plain.paintSeconds);
    std::printf("set_plain_text_load_seconds=%.3f\n", loadSeconds + plain.fillSeconds + plain.paintSeconds);
    std::printf("fill_memo_seconds=%.3f\n", filled.fillSeconds);
    std::printf("first_paint_seconds=%.3f\n", filled.paintSeconds);
    std::printf("window_list_load_seconds=%.3f\n", loadSeconds + filled.fillSeconds + filled.paintSeconds);
}

QString firstLines(const QString& text, int count)
{
    qsizetype end = 0;
    for (int line = 0; line < count && end >= 0; ++line) {
        end = text.indexOf(u'\n', end);
        if (end >= 0)
            ++end;
    }
    return end < 0 ? text : text.left(end - 1);
}

// Median and worst key-press latency, in milliseconds, with the caret moved by key presses.
std::pair<double, double> typingLatency(QPlainTextEdit& editor, QTextCursor::MoveOperation where, int presses)
{
    QTextCursor cursor = editor.textCursor();
    cursor.movePosition(where);
    editor.setTextCursor(cursor);
    paintNow(editor);
    std::vector<double> latencies;
    QElapsedTimer timer;
    for (int press = 0; press < presses; ++press) {
        timer.start();
        QTest::keyClick(&editor, static_cast<char>('a' + press % 26));
        paintNow(editor);
        latencies.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(latencies.begin(), latencies.end());
    return {latencies[latencies.size() / 2], latencies.back()};
}

// The same key presses in the main window's own list, with everything the
// window does on each of them (the Simple page's reactions included), and
// the whole window painted.
void measureWindowTyping(const Options& options, const QString& text)
{
    pennolux::QtMessageBoxes messageBoxes;
    bench::BenchWindow benchWindow(messageBoxes);
    pennolux::TAppForm& window = benchWindow.form();
    pennolux::fillMemo(*window.MemoList, firstLines(text, options.typingLines));
    window.show();
    (void)QTest::qWaitForWindowExposed(&window);
    window.MemoList->setFocus();
    QCoreApplication::processEvents();

    std::vector<double> latencies;
    QElapsedTimer timer;
    for (int press = 0; press < options.presses; ++press) {
        timer.start();
        QTest::keyClick(window.MemoList, static_cast<char>('a' + press % 26));
        QCoreApplication::processEvents();
        window.repaint();
        latencies.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(latencies.begin(), latencies.end());
    std::printf("window_keypress_median_ms=%.2f\nwindow_keypress_max_ms=%.2f\n", latencies[latencies.size() / 2],
                latencies.back());
}

void measureTyping(const Options& options, const QString& text)
{
    QPlainTextEdit editor;
    configureLikeTheWindowsList(editor);
    pennolux::fillMemo(editor, firstLines(text, options.typingLines));
    editor.show();
    (void)QTest::qWaitForWindowExposed(&editor);
    editor.setFocus();
    paintNow(editor);

    std::printf("typing_lines=%lld\n", static_cast<long long>(listLineCount(editor.toPlainText())));
    const auto [endMedian, endWorst] = typingLatency(editor, QTextCursor::End, options.presses);
    std::printf("keypress_at_end_median_ms=%.2f\nkeypress_at_end_max_ms=%.2f\n", endMedian, endWorst);
    const auto [startMedian, startWorst] = typingLatency(editor, QTextCursor::Start, options.presses);
    std::printf("keypress_at_start_median_ms=%.2f\nkeypress_at_start_max_ms=%.2f\n", startMedian, startWorst);
}

bool parseOptions(const QStringList& arguments, Options& options)
{
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == "--typing-lines" && i + 1 < arguments.size())
            options.typingLines = arguments[++i].toInt();
        else if (argument == "--presses" && i + 1 < arguments.size())
            options.presses = std::max(1, arguments[++i].toInt());
        else if (argument == "--rounds" && i + 1 < arguments.size())
            options.rounds = std::max(1, arguments[++i].toInt());
        else if (options.listPath.isEmpty())
            options.listPath = argument;
        else
            return false;
    }
    return !options.listPath.isEmpty();
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    Options options;
    if (!parseOptions(QCoreApplication::arguments(), options)) {
        std::fprintf(stderr, "usage: bench_window_list_load [--typing-lines N] [--presses K] [--rounds R] LIST\n");
        return 2;
    }
    try {
        QString text;
        measureLoading(options, text);
        measureTyping(options, text);
        measureWindowTyping(options, text);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
