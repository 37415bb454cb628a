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

void TemplateLineEncoder::drawBands(const std::vector<QString>& keys)
{
    if (!imageIsConstant_) {
        copyRows(plan_->constantImage(), image_, {0, image_.height()});
        imageIsConstant_ = true;
    }
    const std::vector<RowBand>& bands = plan_->bands();
    QRegion clip;
    bool everyBand = true;
    for (std::size_t k = 0; k < bands.size(); ++k) {
        if (!keys.empty() && pngBand_->remembers(k, keys[k])) {
            everyBand = false;
            continue;
        }
        copyRows(plan_->underLine(), image_, bands[k]);
        clip += QRect(0, bands[k].top, image_.width(), bands[k].end - bands[k].top);
    }
    if (clip.isEmpty())
        return;
    painter_.save();
    // A region of one rectangle clips as that rectangle does.
    painter_.setClipRegion(everyBand ? bandsClip_ : clip);
    renderer_.drawLayers(painter_, filled_, plan_->canvas(), plan_->lineLayerPosition());
    painter_.restore();
}

const std::vector<QString>& TemplateLineEncoder::bandKeys()
{
    bandKeys_.assign(plan_->bands().size(), QString());
    const std::vector<qint64>& layers = plan_->fieldLayers();
    for (std::size_t i = 0; i < layers.size(); ++i) {
        const std::size_t band = plan_->fieldLayerBands()[i];
        if (band == TemplateRunPlan::kNoBand)
            continue;
        // Each text with its length before it, so that no two lists of texts
        // give one key.
        const QString& text = filled_.textLayer(layers[i])->text;
        bandKeys_[band] += QString::number(text.size()) + QLatin1Char(':') + text;
    }
    return bandKeys_;
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
    if (pngBand_) {
        const std::vector<QString>& keys = bandKeys();
        drawBands(keys);
        return {pngBand_->encode(image_, keys), plan.canvas(), whole, count};
    }
    drawBands({});
    return {encodeImage(image_, plan.format()), plan.canvas(), whole, count};
}

LineEncoderFactory templateLineEncoders(const Template& content, QSize canvas,
                                        ImageFormat format)
{
    auto plan = std::make_shared<SharedPlan>(withResolvedColors(content), canvas, format);
    return [plan] { return std::make_unique<TemplateLineEncoder>(plan->get()); };
}

} // namespace pennolux
