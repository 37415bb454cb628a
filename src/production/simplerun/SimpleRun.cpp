#include "production/simplerun/SimpleRun.h"

#include <QPainter>
#include <algorithm>
#include <vector>

#include "production/simplerun/LineEncoderPool.h"
#include "production/writers/OutputNaming.h"
#include "production/simplerun/SimpleLineEncoder.h"
#include "production/simplerun/TextMetrics.h"

namespace pennolux {

namespace {

constexpr int kDotsPerMetre = 3780;  // 96 dots per inch
// Lines the workers may run ahead of storing, per worker: enough to keep them
// busy while a file is created, few enough that memory stays flat.
constexpr int kLinesAheadPerWorker = 8;

void storeLine(const SimpleRunSettings& settings, int number, const QByteArray& bytes)
{
    storeUnderFreeName(outputPath(settings.destination, number, settings.format), bytes);
}

void reportProgress(const SimpleRunProgress& progress, int linesSeen, const LineSource& lines)
{
    if (progress)
        progress(linesSeen, lines.lineCount());
}

SimpleRunResult runOnThisThread(const LineSource& lines, const SimpleRunSettings& settings,
                                const SimpleRunProgress& progress)
{
    SimpleLineEncoder encoder(settings);
    SimpleRunResult result;
    while (result.linesSeen < lines.lineCount()) {
        const QString text = lines.line(result.linesSeen);
        const int number = result.linesSeen + 1;
        if (!text.isEmpty()) {
            storeLine(settings, number, encoder.encode(text));
            ++result.made;
        }
        result.linesSeen = number;
        reportProgress(progress, result.linesSeen, lines);
    }
    return result;
}

// Only this thread reads the lines (they may live in a window's editor) and
// stores files, in line order; the workers only render and encode. A line's
// error surfaces when its turn to be stored comes, so nothing after it is
// ever written.
SimpleRunResult runWithWorkers(const LineSource& lines, const SimpleRunSettings& settings, int threads,
                               const SimpleRunProgress& progress)
{
    LineEncoderPool pool(settings, threads, threads * kLinesAheadPerWorker);
    SimpleRunResult result;
    int linesRead = 0;
    for (;;) {
        std::vector<LineEncoderPool::NumberedLine> batch;
        for (int room = pool.room(); room > 0 && linesRead < lines.lineCount(); --room) {
            batch.push_back({linesRead + 1, lines.line(linesRead)});
            ++linesRead;
        }
        if (!batch.empty())
            pool.submit(std::move(batch));
        if (pool.empty())
            break;
        const LineEncoderPool::EncodedLine line = pool.takeNext();
        if (line.hasImage) {
            storeLine(settings, line.number, line.bytes);
            ++result.made;
        }
        result.linesSeen = line.number;
        reportProgress(progress, result.linesSeen, lines);
    }
    return result;
}

} // namespace

QImage renderSimpleImage(const QString& text, const SimpleRunSettings& settings, const RenderFont& font)
{
    const QSize size = checkedSimpleImageSize(text, settings, font);
    QImage image(size, QImage::Format_RGB32);
    if (image.isNull())
        throw std::bad_alloc();
    image.setDotsPerMeterX(kDotsPerMetre);
    image.setDotsPerMeterY(kDotsPerMetre);
    QPainter painter(&image);
    painter.setFont(font.font());
    painter.setPen(settings.textColor);
    drawSimpleLine(painter, size, text, settings, font);
    return image;
}

SimpleRunResult runSimpleBatch(const LineSource& lines, const SimpleRunSettings& settings, int threads,
                               const SimpleRunProgress& progress)
{
    if (threads <= 1)
        return runOnThisThread(lines, settings, progress);
    return runWithWorkers(lines, settings, threads, progress);
}

} // namespace pennolux
