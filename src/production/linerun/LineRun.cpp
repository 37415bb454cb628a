#include "production/linerun/LineRun.h"

#include <QStringList>
#include <new>
#include <vector>

#include "platform/AppError.h"
#include "production/linerun/LineEncoderPool.h"
#include "production/linerun/MessageQuote.h"
#include "production/writers/ImageOutput.h"
#include "production/writers/OutputNaming.h"

namespace pennolux {

namespace {

// Lines the workers may run ahead of storing, per worker: enough to keep them
// busy while a file is created, few enough that memory stays flat.
constexpr int kLinesAheadPerWorker = 8;
constexpr int kQuotedCharacters = 20;

class Walk {
public:
    Walk(const LineSource& lines, const LineRunOptions& options) : lines_(lines), options_(options) {}

    // Stores one line's outcome; false when the run is to stop after it.
    bool finish(int index, const QString& text, const EncodedImage* image)
    {
        if (image) {
            const int number = numberOf(index);
            const QString baseName = options_.baseName ? options_.baseName(number, text) : defaultBaseName(number);
            StoredLine stored{number, text, storeImage(image->bytes, options_.destination, baseName, options_.format),
                              image->size};
            ++result_.made;
            if (!image->whole)
                countCut(number);
            if (image->fields == FieldCount::Fewer)
                ++result_.fewerFields;
            else if (image->fields == FieldCount::More)
                ++result_.moreFields;
            if (options_.stored)
                options_.stored(stored);
        }
        result_.linesSeen = index + 1;
        if (options_.progress && !options_.progress(result_.linesSeen, lines_.lineCount())) {
            result_.stopped = result_.linesSeen < lines_.lineCount();
            return false;
        }
        return true;
    }

    int numberOf(int index) const { return index + options_.firstNumber; }
    const LineRunResult& result() const { return result_; }

private:
    void countCut(int number)
    {
        ++result_.cutLines;
        if (int(result_.firstCutLines.size()) < kListedCutLines)
            result_.firstCutLines.push_back(number);
    }

    const LineSource& lines_;
    const LineRunOptions& options_;
    LineRunResult result_;
};

[[noreturn]] void rethrowForLine(int number, const QString& text)
{
    throw AppError(currentLineErrorText(number, text));
}

LineRunResult runOnThisThread(const LineSource& lines, const LineEncoderFactory& makeEncoder,
                              const LineRunOptions& options)
{
    std::unique_ptr<LineEncoder> encoder = makeEncoder();
    Walk walk(lines, options);
    for (int index = 0; index < lines.lineCount(); ++index) {
        const QString text = lines.line(index);
        EncodedImage image;
        if (!text.isEmpty()) {
            try {
                image = encoder->encode(text);
            } catch (...) {
                rethrowForLine(walk.numberOf(index), text);
            }
        }
        if (!walk.finish(index, text, text.isEmpty() ? nullptr : &image))
            break;
    }
    return walk.result();
}

// Only this thread reads the lines (they may live in a window's editor) and
// stores files, in line order; the workers only render and encode. A line's
// error surfaces when its turn to be stored comes, so nothing after it is
// ever written.
LineRunResult runWithWorkers(const LineSource& lines, const LineEncoderFactory& makeEncoder,
                             const LineRunOptions& options)
{
    LineEncoderPool pool(makeEncoder, options.threads, options.threads * kLinesAheadPerWorker);
    Walk walk(lines, options);
    int linesRead = 0;
    for (;;) {
        std::vector<LineEncoderPool::IndexedLine> batch;
        for (int room = pool.room(); room > 0 && linesRead < lines.lineCount(); --room) {
            batch.push_back({linesRead, lines.line(linesRead)});
            ++linesRead;
        }
        if (!batch.empty())
            pool.submit(std::move(batch));
        if (pool.empty())
            break;
        LineEncoderPool::EncodedLine line = pool.takeNext();
        if (line.error) {
            try {
                std::rethrow_exception(line.error);
            } catch (...) {
                rethrowForLine(walk.numberOf(line.index), line.text);
            }
        }
        if (!walk.finish(line.index, line.text, line.hasImage ? &line.image : nullptr))
            break;
    }
    return walk.result();
}

} // namespace

namespace {

QString cutLinesCount(int count)
{
    return count == 1 ? QStringLiteral("1 line runs off the image")
                      : QStringLiteral("%1 lines run off the image").arg(count);
}

} // namespace

QString cutLinesSentence(const LineRunResult& result)
{
    if (result.cutLines == 0)
        return {};
    return cutLinesCount(result.cutLines) + u'.';
}

QString cutLinesListing(const LineRunResult& result)
{
    if (result.cutLines == 0)
        return {};
    QStringList numbers;
    for (const int number : result.firstCutLines)
        numbers << QStringLiteral("line %1").arg(number);
    if (result.cutLines > int(result.firstCutLines.size()))
        numbers << QStringLiteral("…");
    return cutLinesCount(result.cutLines) + QStringLiteral(": ") + numbers.join(QStringLiteral(", "));
}

namespace {

QString linesCount(int count)
{
    return count == 1 ? QStringLiteral("1 line has") : QStringLiteral("%1 lines have").arg(count);
}

} // namespace

QString fieldCountSentence(const LineRunResult& result)
{
    const QString fewer = linesCount(result.fewerFields) +
                          QStringLiteral(" fewer fields than the template has text layers");
    const QString more = linesCount(result.moreFields) +
                         QStringLiteral(" more fields than the template has text layers; the extra fields are left out");
    if (result.fewerFields > 0 && result.moreFields > 0)
        return fewer + QStringLiteral("; ") + linesCount(result.moreFields) +
               QStringLiteral(" more, whose extra fields are left out.");
    if (result.fewerFields > 0)
        return fewer + u'.';
    if (result.moreFields > 0)
        return more + u'.';
    return {};
}

QString lineErrorText(int number, const QString& text, const QString& message)
{
    return QStringLiteral("Line %1 (\"%2\"): %3").arg(number).arg(quotedStartForMessage(text, kQuotedCharacters), message);
}

QString currentLineErrorText(int number, const QString& text)
{
    try {
        throw;
    } catch (const AppError& error) {
        return lineErrorText(number, text, error.message());
    } catch (const std::bad_alloc&) {
        return lineErrorText(number, text, QStringLiteral("There is not enough memory for its image"));
    }
}

LineRunResult runLines(const LineSource& lines, const LineEncoderFactory& makeEncoder, const LineRunOptions& options)
{
    if (options.threads <= 1)
        return runOnThisThread(lines, makeEncoder, options);
    return runWithWorkers(lines, makeEncoder, options);
}

} // namespace pennolux
