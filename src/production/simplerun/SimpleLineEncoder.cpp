#include "production/simplerun/SimpleLineEncoder.h"

#include <algorithm>
#include <cstdint>

#include "production/writers/ImageSizeLimits.h"

namespace pennolux {

namespace {

// 96 dots per inch, as the design's display.
constexpr int kDotsPerMetre = 3780;

// Lines up to this many pixels share the canvas; larger ones get an image of
// their own, so one huge line does not keep a worker's memory up for the rest
// of the run.
constexpr std::int64_t kMaxCanvasPixels = 1 << 20;
// Canvas growth steps, so a list of slowly lengthening lines does not
// reallocate on every line.
constexpr int kCanvasWidthStep = 256;
constexpr int kCanvasHeightStep = 32;

int roundedUp(int value, int step)
{
    return (value + step - 1) / step * step;
}

} // namespace

QSize checkedSimpleImageSize(const QString& text, const SimpleRunSettings& settings, const RenderFont& font)
{
    const std::int64_t width = std::int64_t(font.advance(text)) + settings.left + settings.right;
    const std::int64_t height = std::int64_t(font.cellHeight()) + settings.top + settings.bottom;
    checkWorkingImageSize(width, height);
    return QSize(int(width), int(height));
}

void drawSimpleLine(QPainter& painter, QSize size, const QString& text, const SimpleRunSettings& settings,
                    const RenderFont& font)
{
    painter.fillRect(QRect(QPoint(0, 0), size), settings.background);
    painter.drawText(QPoint(settings.left, settings.top + font.ascent()), text);
}

SimpleLineEncoder::SimpleLineEncoder(const SimpleRunSettings& settings)
    : settings_(settings), font_(settings.font), encoder_(encoderFor(settings.format))
{
}

QByteArray SimpleLineEncoder::encode(const QString& text)
{
    const QSize size = checkedSimpleImageSize(text, settings_, font_);
    checkFormatCanHold(settings_.format, size.width(), size.height());
    if (std::int64_t(size.width()) * size.height() > kMaxCanvasPixels)
        return encoder_(renderSimpleImage(text, settings_, font_));
    return encoder_(drawOnCanvas(size, text));
}

QImage SimpleLineEncoder::drawOnCanvas(QSize size, const QString& text)
{
    ensureCanvasHolds(size);
    drawSimpleLine(painter_, size, text, settings_, font_);
    // A read-only view of the line's corner: no copy, and the encoder cannot
    // write through it.
    QImage line(canvas_.constBits(), size.width(), size.height(), canvas_.bytesPerLine(), canvas_.format());
    line.setDotsPerMeterX(kDotsPerMetre);
    line.setDotsPerMeterY(kDotsPerMetre);
    return line;
}

void SimpleLineEncoder::ensureCanvasHolds(QSize size)
{
    if (!canvas_.isNull() && canvas_.width() >= size.width() && canvas_.height() >= size.height())
        return;
    if (painter_.isActive())
        painter_.end();
    const int width = std::max(canvas_.width(), roundedUp(size.width(), kCanvasWidthStep));
    const int height = std::max(canvas_.height(), roundedUp(size.height(), kCanvasHeightStep));
    canvas_ = QImage(width, height, QImage::Format_RGB32);
    if (canvas_.isNull())
        throw std::bad_alloc();
    painter_.begin(&canvas_);
    painter_.setFont(font_.font());
    painter_.setPen(settings_.textColor);
}

} // namespace pennolux
