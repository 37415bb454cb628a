#include "editor/run/TemplateLineEncoder.h"

#include <algorithm>

#include "editor/render/TextLayerLayout.h"
#include "production/writers/ImageOutput.h"
#include "production/writers/ImageSizeLimits.h"
#include "production/writers/WorkingImage.h"

namespace pennolux {

Template withLine(const Template& content, const QString& line, RenderFontCache& fonts)
{
    Template filled = content;
    if (TextLayer* layer = filled.textLayer(kLineLayerNumber)) {
        const QSize extent = textLayerExtent(line, fonts.fontFor(layer->font.font));
        layer->text = line;
        layer->box.width = extent.width();
        layer->box.height = extent.height();
    }
    return filled;
}

TemplateLineEncoder::TemplateLineEncoder(const Template& content, QSize canvas, ImageFormat format)
    : content_(content), canvas_(canvas), format_(format)
{
    checkWorkingImageSize(canvas.width(), canvas.height());
    checkFormatCanHold(format, canvas.width(), canvas.height());
    const auto line = std::find(content_.stacking.begin(), content_.stacking.end(), LayerRef::text(kLineLayerNumber));
    lineLayerPosition_ = std::size_t(line - content_.stacking.begin());

    // Only the layers below Text 1 lie under every line; without Text 1
    // every line shows the same, whole canvas.
    Template below = content_;
    below.stacking.resize(std::min(lineLayerPosition_, below.stacking.size()));
    underLine_ = makeWorkingImage(canvas);
    QPainter painter(&underLine_);
    renderer_.draw(painter, below, canvas);
    painter.end();
    image_ = makeWorkingImage(canvas);
    painter_.begin(&image_);
}

EncodedImage TemplateLineEncoder::encode(const QString& text)
{
    if (lineLayerPosition_ >= content_.stacking.size())
        return {encodeImage(underLine_, format_), canvas_};
    const Template filled = withLine(content_, text, renderer_.fonts());
    painter_.drawImage(QPoint(0, 0), underLine_);
    renderer_.drawLayers(painter_, filled, canvas_, lineLayerPosition_);
    return {encodeImage(image_, format_), canvas_};
}

LineEncoderFactory templateLineEncoders(const Template& content, const QPalette& palette, QSize canvas,
                                        ImageFormat format)
{
    const Template resolved = withResolvedColors(content, palette);
    return [resolved, canvas, format] { return std::make_unique<TemplateLineEncoder>(resolved, canvas, format); };
}

} // namespace pennolux
