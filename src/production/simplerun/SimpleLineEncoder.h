#pragma once

#include <QImage>
#include <QPainter>
#include <QSize>
#include <QString>

#include "production/linerun/LineEncoder.h"
#include "production/simplerun/SimpleRun.h"
#include "production/simplerun/TextMetrics.h"

namespace pennolux {

// The working image's size for one line: text width + left + right margins by
// cell height + top + bottom margins, summed in 64 bits and checked before
// anything is allocated (AppError naming the size).
QSize checkedSimpleImageSize(const QString& text, const SimpleLook& look, const RenderFont& font);

// Fills size with the background and draws the text with its cell's top-left
// at (left, top): the baseline sits at top + the cell's ascent.
void drawSimpleLine(QPainter& painter, QSize size, const QString& text, const SimpleLook& look,
                    const RenderFont& font);

// Lines of ordinary size are drawn into one reused canvas with a painter kept
// open, since making an image and its paint engine per line costs more than
// drawing the line; the encoder reads the line's corner of that canvas.
class SimpleLineEncoder final : public LineEncoder {
public:
    SimpleLineEncoder(const SimpleLook& look, ImageFormat format);
    SimpleLineEncoder(const SimpleLineEncoder&) = delete;
    SimpleLineEncoder& operator=(const SimpleLineEncoder&) = delete;

    // Throws AppError for a size no working image or format can hold.
    EncodedImage encode(const QString& text) override;

private:
    QImage drawOnCanvas(QSize size, const QString& text);
    void ensureCanvasHolds(QSize size);

    const SimpleLook look_;
    const ImageFormat format_;
    RenderFont font_;
    QImage canvas_;
    QPainter painter_;
};

} // namespace pennolux
