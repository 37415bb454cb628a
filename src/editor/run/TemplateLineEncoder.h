#pragma once

#include <QImage>
#include <QPainter>
#include <QSize>
#include <QString>

#include "editor/model/Template.h"
#include "editor/render/TemplateRenderer.h"
#include "production/linerun/LineEncoder.h"
#include "production/writers/ImageFormat.h"

namespace pennolux {

// The slot of the text layer that receives each line of the list.
constexpr qint64 kLineLayerNumber = 1;

// The template with Text 1 holding the line and sized to it, its Left and Top
// kept; the template itself when slot 1 is empty.
Template withLine(const Template& content, const QString& line, RenderFontCache& fonts);

// One image of the Advanced run: the template drawn at the canvas's size
// with Text 1 holding the line, exactly what the canvas shows for it. Draws
// every line into one working image it keeps, with the stretched picture and
// the layers below Text 1 drawn once and copied under each line.
class TemplateLineEncoder final : public LineEncoder {
public:
    // The template's colours must be resolved (withResolvedColors): a worker
    // thread has no palette.
    TemplateLineEncoder(const Template& content, QSize canvas, ImageFormat format);
    TemplateLineEncoder(const TemplateLineEncoder&) = delete;
    TemplateLineEncoder& operator=(const TemplateLineEncoder&) = delete;

    EncodedImage encode(const QString& text) override;

private:
    const Template content_;
    const QSize canvas_;
    const ImageFormat format_;
    TemplateRenderer renderer_;
    std::size_t lineLayerPosition_ = 0;  // Text 1's place in the stacking
    QImage underLine_;  // the canvas drawn up to Text 1
    QImage image_;
    QPainter painter_;
};

// Encoders of the template's images, one per thread, for runLines: each line
// gives an image of the canvas's size. Resolves the template's colours
// through the palette here, on the calling thread.
LineEncoderFactory templateLineEncoders(const Template& content, const QPalette& palette, QSize canvas,
                                        ImageFormat format);

} // namespace pennolux
