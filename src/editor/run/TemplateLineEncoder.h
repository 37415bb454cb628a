#pragma once

#include <QImage>
#include <QPainter>
#include <QRegion>
#include <QSize>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>
#include <optional>

#include "editor/model/Template.h"
#include "editor/render/TemplateRenderer.h"
#include "editor/run/TemplateRunPlan.h"
#include "production/linerun/LineEncoder.h"
#include "production/writers/ImageFormat.h"
#include "production/writers/png/PngBandEncoder.h"

namespace pennolux {

// The template filled with the line as a run fills it: Text 1 holding the
// line, or with fields, Text k holding field k (a missing field leaves the
// layer empty); each layer sized to its text, its Left and Top kept. Throws
// AppError for a line not valid in the template's field format.
Template withLine(const Template& content, const QString& line, RenderFontCache& fonts);

// One image of the Advanced run: the template drawn at the canvas's size
// filled with the line (withLine), exactly what the canvas shows for it.
// Keeps one working image from line to line: for a line whose filled layers
// lie in the plan's bands only the bands' rows are drawn again (from the
// canvas under the lowest layer the line fills, then that layer and those
// above it, clipped to the bands), and a PNG compresses only those rows; any
// other line (a field of two text lines, say) is drawn and encoded whole.
class TemplateLineEncoder final : public LineEncoder {
public:
    explicit TemplateLineEncoder(std::shared_ptr<const TemplateRunPlan> plan);
    TemplateLineEncoder(const TemplateLineEncoder&) = delete;
    TemplateLineEncoder& operator=(const TemplateLineEncoder&) = delete;

    EncodedImage encode(const QString& text) override;

private:
    // Draws the bands whose compressed rows are not remembered under their
    // keys (all bands when `keys` is empty).
    void drawBands(const std::vector<QString>& keys);
    // What each band shows: the texts of the field layers in it.
    const std::vector<QString>& bandKeys();
    void drawWhole();

    const std::shared_ptr<const TemplateRunPlan> plan_;
    // Fills the plan's layers with the line's fields; false when any of them
    // does not show whole.
    bool fill(const QStringList& fields);
    // The rows each filled layer takes lie within one of the bands.
    bool filledLayersInBands() const;
    bool filledLayersOffCanvas() const;

    Template filled_;  // the template filled with the current line
    TemplateRenderer renderer_;
    QImage image_;
    QPainter painter_;
    QRegion bandsClip_;  // the plan's bands across the canvas
    std::vector<QString> bandKeys_;
    bool imageIsConstant_ = false;  // outside the bands, image_ shows the plan's constant image
    std::optional<PngBandEncoder> pngBand_;
};

// Encoders of the template's images, one per thread, for runLines: each line
// gives an image of the canvas's size. Resolves the template's colours
// through the palette here, on the calling thread; the plan all encoders
// share is made by the first of them.
LineEncoderFactory templateLineEncoders(const Template& content, QSize canvas,
                                        ImageFormat format);

} // namespace pennolux
