// How the window's list copes with long lists: the time from a list file to a
// painted editor (read and decode as the open button does, setPlainText, first
// paint), and the time a key press in a long list takes to be handled and
// painted. The editor is set up like the main window's list.
//
//   bench_window_list_load [--typing-lines N] [--presses K] LIST
//
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

#include "platform/DocumentImport.h"
#include "production/TextListFile.h"

namespace {

using pennolux::DocumentImport;

struct Options {
    QString listPath;
    int typingLines = 100000;
    int presses = 40;
};

// The list files here are plain text, so no document reader is ever asked.
class NoDocumentReaders : public DocumentImport {
public:
    bool WordInstalled(const QString&) const override { return false; }
    QString GetWordText(const QString&) const override { return {}; }
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

void measureLoading(const Options& options, QString& text)
{
    QElapsedTimer timer;
    timer.start();
    text = pennolux::LoadTextList(options.listPath, NoDocumentReaders(), "windows-1252");
    const double loadSeconds = seconds(timer);

    QPlainTextEdit editor;
    configureLikeTheWindowsList(editor);
    editor.show();
    (void)QTest::qWaitForWindowExposed(&editor);
    timer.restart();
    editor.setPlainText(text);
    const double setSeconds = seconds(timer);
    timer.restart();
    paintNow(editor);
    const double paintSeconds = seconds(timer);

    std::printf("list_lines=%lld\n", static_cast<long long>(listLineCount(text)));
    std::printf("read_and_decode_seconds=%.3f\n", loadSeconds);
    std::printf("set_plain_text_seconds=%.3f\n", setSeconds);
    std::printf("first_paint_seconds=%.3f\n", paintSeconds);
    std::printf("window_list_load_seconds=%.3f\n", loadSeconds + setSeconds + paintSeconds);
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

void measureTyping(const Options& options, const QString& text)
{
    QPlainTextEdit editor;
    configureLikeTheWindowsList(editor);
    editor.setPlainText(firstLines(text, options.typingLines));
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
        std::fprintf(stderr, "usage: bench_window_list_load [--typing-lines N] [--presses K] LIST\n");
        return 2;
    }
    try {
        QString text;
        measureLoading(options, text);
        measureTyping(options, text);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
