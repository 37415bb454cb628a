#include "editor/run/TemplateLineEncoder.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <mutex>

#include "editor/render/TextLayerLayout.h"
#include "production/writers/ImageOutput.h"
#include "production/writers/WorkingImage.h"

namespace pennolux {

namespace {

void fillText(TextLayer& layer, const QString& line, RenderFontCache& fonts)
{
    if (layer.hasFixedBox()) {
        layer.text = line;
        return;
    }
    const QSize extent = textLayerExtent(line, fonts.fontFor(layer.font.font));
    layer.text = line;
    layer.box.width = extent.width();
    layer.box.height = extent.height();
}

void copyRows(const QImage& from, QImage& to, RowBand rows)
{
    const auto bytes = std::size_t(from.bytesPerLine());
    for (int y = rows.top; y < rows.end; ++y)
        std::memcpy(to.scanLine(y), from.constScanLine(y), bytes);
}

// The plan is made once, by whichever worker asks first; a failure is kept
// and given to every worker, so each line reports it without the work being
// tried again.
class SharedPlan {
public:
    SharedPlan(Template content, QSize canvas, ImageFormat format)
        : content_(std::move(content)), canvas_(canvas), format_(format)
    {
    }

    std::shared_ptr<const TemplateRunPlan> get()
    {
        const std::lock_guard lock(mutex_);
        if (!plan_ && !error_) {
            try {
                plan_ = std::make_shared<const TemplateRunPlan>(content_, canvas_, format_);
            } catch (...) {
                error_ = std::current_exception();
            }
        }
        if (error_)
            std::rethrow_exception(error_);
        return plan_;
    }

private:
    const Template content_;
    const QSize canvas_;
    const ImageFormat format_;
    std::mutex mutex_;
    std::shared_ptr<const TemplateRunPlan> plan_;
    std::exception_ptr error_;
};

FieldCount countOf(qsizetype fields, int taken)
{
    if (fields < taken)
        return FieldCount::Fewer;
    return fields > taken ? FieldCount::More : FieldCount::AsLayers;
}

} // namespace

Template withLine(const Template& content, const QString& line, RenderFontCache& fonts)
{
    Template filled = content;
    const QStringList fields = splitFields(line, content.fields.format);
    for (const qint64 number : fieldLayerNumbers(content))
        fillText(*filled.textLayer(number), number <= fields.size() ? fields[number - 1] : QString(), fonts);
    return filled;
}

TemplateLineEncoder::TemplateLineEncoder(std::shared_ptr<const TemplateRunPlan> plan)
    : plan_(std::move(plan)), filled_(plan_->content())
{
    image_ = makeWorkingImage(plan_->canvas());
    painter_.begin(&image_);
    for (const RowBand band : plan_->bands())
        bandsClip_ += QRect(0, band.top, image_.width(), band.end - band.top);
    if (plan_->pngBand())
        pngBand_.emplace(plan_->pngBand());
}

void TemplateLineEncoder::drawBands()
{
    if (!imageIsConstant_) {
        copyRows(plan_->constantImage(), image_, {0, image_.height()});
        imageIsConstant_ = true;
    }
    for (const RowBand band : plan_->bands())
        copyRows(plan_->underLine(), image_, band);
    painter_.save();
    // A region of one rectangle clips as that rectangle does.
    painter_.setClipRegion(bandsClip_);
    renderer_.drawLayers(painter_, filled_, plan_->canvas(), plan_->lineLayerPosition());
    painter_.restore();
}

void TemplateLineEncoder::drawWhole()
{
    copyRows(plan_->underLine(), image_, {0, image_.height()});
    imageIsConstant_ = false;
    renderer_.drawLayers(painter_, filled_, plan_->canvas(), plan_->lineLayerPosition());
}

bool TemplateLineEncoder::fill(const QStringList& fields)
{
    bool whole = true;
    for (const qint64 number : plan_->fieldLayers()) {
        TextLayer& layer = *filled_.textLayer(number);
        fillText(layer, number <= fields.size() ? fields[number - 1] : QString(), renderer_.fonts());
        if (!layer.text.isEmpty() && !placeTextLayer(layer, renderer_.fonts(), plan_->canvas()).whole)
            whole = false;
    }
    return whole;
}

bool TemplateLineEncoder::filledLayersInBands() const
{
    const std::vector<RowBand>& bands = plan_->bands();
    for (const qint64 number : plan_->fieldLayers()) {
        const TextLayer& layer = *filled_.textLayer(number);
        if (layer.text.isEmpty())
            continue;
        const RowBand rows = rowsOnCanvas(layer.box, plan_->canvas());
        if (std::none_of(bands.begin(), bands.end(), [rows](const RowBand& band) { return band.holds(rows); }))
            return false;
    }
    return true;
}

bool TemplateLineEncoder::filledLayersOffCanvas() const
{
    for (const qint64 number : plan_->fieldLayers()) {
        const TextLayer& layer = *filled_.textLayer(number);
        if (!layer.text.isEmpty() && !rowsOnCanvas(layer.box, plan_->canvas()).empty())
            return false;
    }
    return true;
}

EncodedImage TemplateLineEncoder::encode(const QString& text)
{
    const TemplateRunPlan& plan = *plan_;
    const QStringList fields = splitFields(text, plan.content().fields.format);
    const FieldCount count = countOf(fields.size(), plan.fieldsTaken());
    if (!plan.hasLineLayer())
        return {plan.constantFile(), plan.canvas(), true, count};
    const bool whole = fill(fields);
    if (filledLayersOffCanvas() && !plan.constantFile().isNull())
        return {plan.constantFile(), plan.canvas(), whole, count};
    if (!filledLayersInBands()) {
        drawWhole();
        return {encodeImage(image_, plan.format()), plan.canvas(), whole, count};
    }
    drawBands();
    if (pngBand_)
        return {pngBand_->encode(image_), plan.canvas(), whole, count};
    return {encodeImage(image_, plan.format()), plan.canvas(), whole, count};
}

LineEncoderFactory templateLineEncoders(const Template& content, const QPalette& palette, QSize canvas,
                                        ImageFormat format)
{
    auto plan = std::make_shared<SharedPlan>(withResolvedColors(content, palette), canvas, format);
    return [plan] { return std::make_unique<TemplateLineEncoder>(plan->get()); };
}

} // namespace pennolux
