#include "editor/run/TemplateRunPlan.h"

#include <QPainter>
#include <algorithm>

#include "editor/render/TemplateRenderer.h"
#include "production/writers/ImageOutput.h"
#include "production/writers/ImageSizeLimits.h"
#include "production/writers/WorkingImage.h"

namespace pennolux {

RowBand rowsOnCanvas(const LayerBox& box, QSize canvas)
{
    const std::int64_t top = std::clamp<std::int64_t>(box.top, 0, canvas.height());
    const std::int64_t end = std::clamp<std::int64_t>(std::int64_t(box.top) + box.height, top, canvas.height());
    return {int(top), int(end)};
}

TemplateRunPlan::TemplateRunPlan(const Template& content, QSize canvas, ImageFormat format)
    : content_(content), canvas_(canvas), format_(format)
{
    checkWorkingImageSize(canvas.width(), canvas.height());
    checkFormatCanHold(format, canvas.width(), canvas.height());
    const auto line = std::find(content_.stacking.begin(), content_.stacking.end(), LayerRef::text(kLineLayerNumber));
    lineLayerPosition_ = std::size_t(line - content_.stacking.begin());

    // Only the layers below Text 1 lie under every line.
    TemplateRenderer renderer;
    Template below = content_;
    below.stacking.resize(std::min(lineLayerPosition_, below.stacking.size()));
    underLine_ = makeWorkingImage(canvas);
    QPainter painter(&underLine_);
    renderer.draw(painter, below, canvas);
    painter.end();

    Template withoutLine = content_;
    constantImage_ = underLine_.copy();
    if (hasLineLayer()) {
        withoutLine.TextLayers[std::size_t(kLineLayerNumber - 1)].reset();
        painter.begin(&constantImage_);
        renderer.drawLayers(painter, withoutLine, canvas, lineLayerPosition_);
        painter.end();
        const TextLayer& lineLayer = *content_.textLayer(kLineLayerNumber);
        // A fixed box keeps its rows whatever the line; a box that follows
        // the text takes one cell for a line of one text line.
        LayerBox oneLine = lineLayer.box;
        if (!lineLayer.hasFixedBox())
            oneLine.height = renderer.fonts().fontFor(lineLayer.font.font).cellHeight();
        band_ = rowsOnCanvas(oneLine, canvas);
    }
    if (band_.empty())
        constantFile_ = encodeImage(constantImage_, format);
    else if (format == ImageFormat::PNG)
        pngBand_ = std::make_shared<const PngBandPlan>(constantImage_, band_.top, band_.end);
}

} // namespace pennolux
