#pragma once

#include <QSize>
#include <QString>
#include <functional>

#include "production/linerun/LineEncoder.h"
#include "production/textlist/LineSource.h"
#include "production/writers/ImageFormat.h"

namespace pennolux {

// A file a run wrote, for a manifest or a status line.
struct StoredLine {
    int number = 0;
    QString text;
    QString file;  // the name actually used, " (k)" included
    QSize size;
};

struct LineRunOptions {
    QString destination;
    ImageFormat format = ImageFormat::PNG;
    // More than one renders and encodes ahead on worker threads; the files,
    // their names and where a failure stops are the same as with one.
    int threads = 1;
    // The number of the list's first line (a piece of a longer list).
    int firstNumber = 1;
    // After each line, with the lines walked so far and the current count;
    // returning false stops the run after that line.
    std::function<bool(int linesSeen, int lineCount)> progress;
    // After each file is stored, on the thread that called runLines.
    std::function<void(const StoredLine&)> stored;
};

struct LineRunResult {
    int linesSeen = 0;  // the number of lines walked, empty ones included
    int made = 0;       // files written
    bool stopped = false;  // progress asked to stop before the list ended
};

// Every non-empty line becomes one file named after its line number; empty
// lines make none but keep their number. The count of lines is read afresh
// before every line. Stops at the first line that cannot be encoded or stored
// (AppError), leaving the files already written; an encoding error names the
// line: "Line 2 ("john…"): <reason>".
LineRunResult runLines(const LineSource& lines, const LineEncoderFactory& makeEncoder, const LineRunOptions& options);

// "Line 2 ("john.smith@exam…"): " + message, the line's text cut short.
QString lineErrorText(int number, const QString& text, const QString& message);

// The lineErrorText of the exception being handled (an AppError or a lack of
// memory); rethrows anything else. Call only inside a catch handler.
QString currentLineErrorText(int number, const QString& text);

} // namespace pennolux
