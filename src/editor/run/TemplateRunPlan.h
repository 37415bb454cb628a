#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <cstddef>
#include <memory>

#include "editor/model/Template.h"
#include "production/writers/ImageFormat.h"
#include "production/writers/png/PngBandPlan.h"

namespace pennolux {

// The slot of the text layer that receives each line of the list.
constexpr qint64 kLineLayerNumber = 1;

// Rows [top, end) of a canvas.
struct RowBand {
    int top = 0;
    int end = 0;

    bool empty() const { return end <= top; }
    bool holds(const RowBand& other) const { return other.empty() || (top <= other.top && other.end <= end); }
};

// What every image of one Advanced run shares, made once per run on one
// thread and then only read by every worker: the picture stretched to the
// canvas, the canvas drawn up to Text 1, the canvas as every image shows it
// outside the rows a line's Text 1 takes, and for PNG those rows above and
// below already compressed. A line reaches only Text 1's box (the layer is
// drawn clipped to it), so for a line of one text line everything outside
// the rows of a one-line box is the same in every image.
class TemplateRunPlan {
public:
    // The template's colours must be resolved. Throws AppError for a canvas
    // the working image or the format cannot hold.
    TemplateRunPlan(const Template& content, QSize canvas, ImageFormat format);

    const Template& content() const { return content_; }
    QSize canvas() const { return canvas_; }
    ImageFormat format() const { return format_; }
    // Text 1's place in the stacking; the stacking's size without Text 1.
    std::size_t lineLayerPosition() const { return lineLayerPosition_; }
    bool hasLineLayer() const { return lineLayerPosition_ < content_.stacking.size(); }
    // The canvas drawn up to, not including, Text 1.
    const QImage& underLine() const { return underLine_; }
    // The canvas with Text 1 empty: every image outside the band.
    const QImage& constantImage() const { return constantImage_; }
    // The rows Text 1 takes on the canvas with a text of one line.
    RowBand band() const { return band_; }
    // The file of every line whose Text 1 lies outside the canvas's rows, or
    // of every line when there is no Text 1: encoded once.
    const QByteArray& constantFile() const { return constantFile_; }
    // For PNG runs with a band: the rows above and below it, compressed.
    const std::shared_ptr<const PngBandPlan>& pngBand() const { return pngBand_; }

private:
    Template content_;
    QSize canvas_;
    ImageFormat format_;
    std::size_t lineLayerPosition_ = 0;
    QImage underLine_;
    QImage constantImage_;
    RowBand band_;
    QByteArray constantFile_;
    std::shared_ptr<const PngBandPlan> pngBand_;
};

// The rows of the canvas the box covers.
RowBand rowsOnCanvas(const LayerBox& box, QSize canvas);

} // namespace pennolux
