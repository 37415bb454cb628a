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

std::vector<qint64> fieldLayerNumbers(const Template& content)
{
    if (content.fields.format == FieldFormat::OneField)
        return content.textLayer(kLineLayerNumber) ? std::vector<qint64>{kLineLayerNumber} : std::vector<qint64>{};
    std::vector<qint64> numbers;
    for (qint64 number = 1; number <= kLayerSlots; ++number) {
        if (content.textLayer(number))
            numbers.push_back(number);
    }
    return numbers;
}

int fieldsTaken(const Template& content)
{
    if (content.fields.format == FieldFormat::OneField)
        return 1;
    const std::vector<qint64> numbers = fieldLayerNumbers(content);
    return numbers.empty() ? 0 : int(numbers.back());
}

TemplateRunPlan::TemplateRunPlan(const Template& content, QSize canvas, ImageFormat format)
    : content_(content),
      canvas_(canvas),
      format_(format),
      fieldLayers_(fieldLayerNumbers(content)),
      fieldsTaken_(pennolux::fieldsTaken(content))
{
    checkWorkingImageSize(canvas.width(), canvas.height());
    checkFormatCanHold(format, canvas.width(), canvas.height());
    lineLayerPosition_ = content_.stacking.size();
    for (const qint64 number : fieldLayers_) {
        const auto at = std::find(content_.stacking.begin(), content_.stacking.end(), LayerRef::text(number));
        lineLayerPosition_ = std::min(lineLayerPosition_, std::size_t(at - content_.stacking.begin()));
    }

    // Only the layers below the lowest one a line fills lie under every line.
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
        for (const qint64 number : fieldLayers_)
            withoutLine.TextLayers[std::size_t(number - 1)].reset();
        painter.begin(&constantImage_);
        renderer.drawLayers(painter, withoutLine, canvas, lineLayerPosition_);
        painter.end();
        std::vector<RowBand> layerRows;
        for (const qint64 number : fieldLayers_) {
            const TextLayer& lineLayer = *content_.textLayer(number);
            // A fixed box keeps its rows whatever the line; a box that follows
            // the text takes one cell for a field of one text line.
            LayerBox oneLine = lineLayer.box;
            if (!lineLayer.hasFixedBox())
                oneLine.height = renderer.fonts().fontFor(lineLayer.font.font).cellHeight();
            layerRows.push_back(rowsOnCanvas(oneLine, canvas));
            if (!layerRows.back().empty())
                bands_.push_back(layerRows.back());
        }
        bands_ = mergedRowBands(std::move(bands_), canvas.height());
        for (const RowBand rows : layerRows) {
            const auto band = std::find_if(bands_.begin(), bands_.end(),
                                           [rows](const RowBand& each) { return !rows.empty() && each.holds(rows); });
            fieldLayerBands_.push_back(band == bands_.end() ? kNoBand : std::size_t(band - bands_.begin()));
        }
    }
    if (bands_.empty())
        constantFile_ = encodeImage(constantImage_, format);
    else if (format == ImageFormat::PNG)
        pngBand_ = std::make_shared<const PngBandPlan>(constantImage_, bands_);
}

} // namespace pennolux
