#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>
#include <functional>

#include "production/textlist/LineSource.h"
#include "production/writers/ImageFormat.h"

namespace pennolux {

class RenderFont;

struct SimpleRunSettings {
    QString destination;
    QColor background;
    QFont font;
    QColor textColor;  // already resolved from a system colour
    int left = 1;
    int right = 1;
    int top = 1;
    int bottom = 1;
    ImageFormat format = ImageFormat::PNG;
};

struct SimpleRunResult {
    int linesSeen = 0;  // the number of lines walked, empty ones included
    int made = 0;       // files written
};

// Called after each line with the number of lines walked so far and the
// current count, e.g. for a progress bar.
using SimpleRunProgress = std::function<void(int linesSeen, int lineCount)>;

// The working image of one line: text size plus margins, filled with the
// background, the text drawn with its cell's top-left at (left, top).
QImage renderSimpleImage(const QString& text, const SimpleRunSettings& settings, const RenderFont& font);

// Every non-empty line becomes one file named after its line number. Stops at
// the first line that cannot be written (AppError), leaving the files already
// written. threads > 1 renders and encodes ahead on worker threads; the files,
// their names and where a failure stops are the same as with one thread.
SimpleRunResult runSimpleBatch(const LineSource& lines, const SimpleRunSettings& settings, int threads = 1,
                               const SimpleRunProgress& progress = {});

} // namespace pennolux
