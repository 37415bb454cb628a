#include "production/simplerun/SimpleLineEncoder.h"

#include <algorithm>
#include <cstdint>

#include "production/writers/ImageOutput.h"
#include "production/writers/ImageSizeLimits.h"
#include "production/writers/WorkingImage.h"

namespace pennolux {

namespace {

// Lines up to this many pixels share the canvas; larger ones get an image of
// their own, so one huge line does not keep a worker's memory up for the rest
// of the run.
constexpr std::int64_t kMaxCanvasPixels = 1 << 20;
// Canvas growth steps, so a list of slowly lengthening lines does not
// reallocate on every line.
constexpr int kCanvasWidthStep = 256;
constexpr int kCanvasHeightStep = 32;

// Rounded up to the step, but never past the working image's largest side:
// the line itself was checked against the limits, and a canvas one step
// larger than a line of (nearly) that side would be refused in its place.
int roundedUp(int value, int step)
{
    return int(std::min<std::int64_t>((std::int64_t(value) + step - 1) / step * step, kWorkingImageLimits.maxSide));
}

} // namespace

QSize checkedSimpleImageSize(const QString& text, const SimpleLook& look, const RenderFont& font)
{
    // The height alone first: an absurd font is refused before its text is
    // laid out.
    const std::int64_t height = std::int64_t(font.cellHeight()) + look.top + look.bottom;
    checkWorkingImageSize(1, height);
    const std::int64_t width = font.checkedAdvance(text) + look.left + look.right;
    checkWorkingImageSize(width, height);
    return QSize(int(width), int(height));
}

void drawSimpleLine(QPainter& painter, QSize size, const QString& text, const SimpleLook& look,
                    const RenderFont& font)
{
    painter.fillRect(QRect(QPoint(0, 0), size), look.background);
    font.drawLine(painter, QPoint(look.left, look.top + font.ascent()), text);
}

SimpleLineEncoder::SimpleLineEncoder(const SimpleLook& look, ImageFormat format)
    : look_(look), format_(format), font_(look.font)
{
}

EncodedImage SimpleLineEncoder::encode(const QString& text)
{
    const QSize size = checkedSimpleImageSize(text, look_, font_);
    checkFormatCanHold(format_, size.width(), size.height());
    if (std::int64_t(size.width()) * size.height() > kMaxCanvasPixels)
        return {encodeImage(renderSimpleImage(text, look_, font_), format_), size};
    return {encodeImage(drawOnCanvas(size, text), format_), size};
}

QImage SimpleLineEncoder::drawOnCanvas(QSize size, const QString& text)
{
    ensureCanvasHolds(size);
    drawSimpleLine(painter_, size, text, look_, font_);
    // A read-only view of the line's corner: no copy, and the encoder cannot
    // write through it.
    QImage line(canvas_.constBits(), size.width(), size.height(), canvas_.bytesPerLine(), canvas_.format());
    setWorkingResolution(line);
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
    canvas_ = makeWorkingImage(QSize(width, height));
    painter_.begin(&canvas_);
    painter_.setFont(font_.font());
    painter_.setPen(look_.textColor);
}

} // namespace pennolux
