#pragma once

#include <QSize>
#include <QString>
#include <functional>
#include <vector>

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
    // The name of a line's file without its extension; unset: the design's
    // "Output" + number. A name already taken gets " (k)" as always.
    std::function<QString(int number, const QString& text)> baseName;
    // After each line, with the lines walked so far and the current count;
    // returning false stops the run after that line.
    std::function<bool(int linesSeen, int lineCount)> progress;
    // After each file is stored, on the thread that called runLines.
    std::function<void(const StoredLine&)> stored;
};

// How many numbers of lines cut off a run keeps, for its report.
constexpr int kListedCutLines = 10;

struct LineRunResult {
    int linesSeen = 0;  // the number of lines walked, empty ones included
    int made = 0;       // files written
    bool stopped = false;  // progress asked to stop before the list ended
    // Files written whose line's text is not all in the image
    // (EncodedImage::whole), and the numbers of the first kListedCutLines.
    int cutLines = 0;
    std::vector<int> firstCutLines;
    // Files written whose line had fewer or more fields than the template
    // has text layers for (EncodedImage::fields).
    int fewerFields = 0;
    int moreFields = 0;
};

// Every non-empty line becomes one file named after its line number; empty
// lines make none but keep their number. The count of lines is read afresh
// before every line. Stops at the first line that cannot be encoded or stored
// (AppError), leaving the files already written; an encoding error names the
// line: "Line 2 ("john…"): <reason>".
LineRunResult runLines(const LineSource& lines, const LineEncoderFactory& makeEncoder, const LineRunOptions& options);

// "3 lines run off the image." for a summary, or empty when every line was whole.
QString cutLinesSentence(const LineRunResult& result);
// "3 lines run off the image: line 17, line 20, line 31", the first
// kListedCutLines numbered and then "…"; empty when every line was whole.
QString cutLinesListing(const LineRunResult& result);

// "2 lines have fewer fields than the template has text layers; 1 line has
// more." for a summary, or empty when every line's fields matched.
QString fieldCountSentence(const LineRunResult& result);

// "Line 2 ("john.smith@exam…"): " + message, the line's text cut short on
// whole characters and escaped as escapedForMessage shows outside text.
QString lineErrorText(int number, const QString& text, const QString& message);

// The lineErrorText of the exception being handled (an AppError or a lack of
// memory); rethrows anything else. Call only inside a catch handler.
QString currentLineErrorText(int number, const QString& text);

} // namespace pennolux
