#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <cstddef>
#include <memory>
#include <vector>

#include "editor/model/Template.h"
#include "production/writers/ImageFormat.h"
#include "production/writers/png/PngBandPlan.h"

namespace pennolux {

// The slot of the text layer that receives each line of the list, or its
// first field.
constexpr qint64 kLineLayerNumber = 1;

// The text layers a list line fills, by number: Text 1 when a line is one
// field, else every text layer of the template (field k goes into Text k).
std::vector<qint64> fieldLayerNumbers(const Template& content);
// How many fields of a line have a layer to go into: 1 when a line is one
// field, else the highest text layer's number (0 without text layers).
int fieldsTaken(const Template& content);

// What every image of one Advanced run shares, made once per run on one
// thread and then only read by every worker: the picture stretched to the
// canvas, the canvas drawn up to the lowest layer a line fills, the canvas
// as every image shows it outside the rows those layers take, and for PNG
// the rows above, between and below them already compressed. A line reaches
// only the boxes of the layers it fills (each is drawn clipped to its box),
// so for fields of one text line each, everything outside the rows of their
// one-line boxes is the same in every image.
class TemplateRunPlan {
public:
    // The template's colours must be resolved. Throws AppError for a canvas
    // the working image or the format cannot hold.
    TemplateRunPlan(const Template& content, QSize canvas, ImageFormat format);

    const Template& content() const { return content_; }
    QSize canvas() const { return canvas_; }
    ImageFormat format() const { return format_; }
    // The layers a line fills (fieldLayerNumbers) and the fields it has room for.
    const std::vector<qint64>& fieldLayers() const { return fieldLayers_; }
    int fieldsTaken() const { return fieldsTaken_; }
    // The lowest place in the stacking of a layer a line fills; the
    // stacking's size when a line fills none.
    std::size_t lineLayerPosition() const { return lineLayerPosition_; }
    bool hasLineLayer() const { return lineLayerPosition_ < content_.stacking.size(); }
    // The canvas drawn up to, not including, the lowest layer a line fills.
    const QImage& underLine() const { return underLine_; }
    // The canvas with the layers a line fills empty: every image outside the bands.
    const QImage& constantImage() const { return constantImage_; }
    // The rows the layers a line fills take on the canvas with a text of one
    // line each: one band a layer, sorted, those that overlap or touch merged.
    const std::vector<RowBand>& bands() const { return bands_; }
    // For each of fieldLayers(), the band its one-line box lies in; none
    // (kNoBand) for a box off the canvas's rows.
    static constexpr std::size_t kNoBand = std::size_t(-1);
    const std::vector<std::size_t>& fieldLayerBands() const { return fieldLayerBands_; }
    // The file of every line whose layers lie outside the canvas's rows, or
    // of every line when it fills no layer: encoded once.
    const QByteArray& constantFile() const { return constantFile_; }
    // For PNG runs with bands: the rows outside them, compressed.
    const std::shared_ptr<const PngBandPlan>& pngBand() const { return pngBand_; }

private:
    Template content_;
    QSize canvas_;
    ImageFormat format_;
    std::vector<qint64> fieldLayers_;
    int fieldsTaken_ = 0;
    std::size_t lineLayerPosition_ = 0;
    QImage underLine_;
    QImage constantImage_;
    std::vector<RowBand> bands_;
    std::vector<std::size_t> fieldLayerBands_;
    QByteArray constantFile_;
    std::shared_ptr<const PngBandPlan> pngBand_;
};

// The rows of the canvas the box covers.
RowBand rowsOnCanvas(const LayerBox& box, QSize canvas);

} // namespace pennolux
