#include "editor/background/SvgDrawingCost.h"

#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QSvgRenderer>
#include <QTransform>

#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

namespace pennolux {

namespace {

// Takes every shape a drawing paints, in the painter's device pixels, and
// adds up its cost instead of painting it.
class CostCountingEngine final : public QPaintEngine {
public:
    explicit CostCountingEngine(QSize drawn) : QPaintEngine(QPaintEngine::AllFeatures), drawn_(drawn) {}

    double cost() const { return cost_; }

    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState&) override {}
    Type type() const override { return QPaintEngine::User; }

    // Pictures inside the drawing are held to the picture limits by their
    // reader, and glyphs are small; neither is what makes a drawing slow.
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawImage(const QRectF&, const QImage&, const QRectF&, Qt::ImageConversionFlags) override {}
    void drawTextItem(const QPointF&, const QTextItem&) override {}

    void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override
    {
        if (count <= 0)
            return;
        QPainterPath path(points[0]);
        for (int i = 1; i < count; ++i)
            path.lineTo(points[i]);
        if (mode != PolylineMode)
            path.closeSubpath();
        drawPath(path);
    }

    void drawPath(const QPainterPath& path) override
    {
        const bool fills = painter()->brush().style() != Qt::NoBrush;
        const bool strokes = painter()->pen().style() != Qt::NoPen;
        if (!fills && !strokes)
            return;
        edges_.clear();
        QRectF covered;
        for (const QPolygonF& outline : path.toSubpathPolygons(painter()->combinedTransform())) {
            for (qsizetype i = 0; i < outline.size(); ++i)
                edges_.push_back({inside(outline[i]), inside(outline[(i + 1) % outline.size()])});
            covered |= QRectF(inside(outline.boundingRect().topLeft()), inside(outline.boundingRect().bottomRight()));
        }
        // Filling the covered pixels, at about a thirtieth of an edge cell's
        // cost each; a stroke is an outline on either side of the path.
        const double pixels = covered.width() * covered.height() / 30;
        if (fills)
            cost_ += bandWalks(1) + pixels;
        if (strokes)
            cost_ += bandWalks(2) + pixels;
    }

private:
    struct Edge {
        QPointF from;
        QPointF to;
    };

    // The painter clips outlines to the picture: a part outside runs along
    // its edge instead.
    QPointF inside(QPointF point) const
    {
        if (!std::isfinite(point.x()) || !std::isfinite(point.y()))
            return {};
        return {std::clamp(point.x(), 0.0, double(drawn_.width())), std::clamp(point.y(), 0.0, double(drawn_.height()))};
    }

    int rowOf(double y) const { return std::clamp(int(y), 0, std::max(0, drawn_.height() - 1)); }

    // The cells each edge of the outline crosses, times the bands it reaches,
    // with every edge counted `sides` times.
    double bandWalks(double sides)
    {
        // A band holds about this many cells, so rows of more are bands of
        // their own.
        constexpr double kCellsInABand = 128;
        const int rows = std::max(1, drawn_.height());
        // The cells in each row, from the edges that cross it.
        cellsInRow_.assign(std::size_t(rows) + 1, 0.0);
        for (const Edge& edge : edges_) {
            const double height = std::abs(edge.to.y() - edge.from.y());
            const double perRow = sides * (height == 0 ? 1 : 1 + std::abs(edge.to.x() - edge.from.x()) / std::max(1.0, height));
            cellsInRow_[std::size_t(rowOf(std::min(edge.from.y(), edge.to.y())))] += perRow;
            cellsInRow_[std::size_t(rowOf(std::max(edge.from.y(), edge.to.y()))) + 1] -= perRow;
        }
        // bandsAbove_[r]: the bands the rows above row r make, as a fraction.
        bandsAbove_.assign(std::size_t(rows) + 1, 0.0);
        double cells = 0;
        for (int row = 0; row < rows; ++row) {
            cells += cellsInRow_[std::size_t(row)];
            const double crowded = std::min(cells, double(drawn_.width())) / kCellsInABand;
            bandsAbove_[std::size_t(row) + 1] = bandsAbove_[std::size_t(row)] + std::clamp(crowded, 0.0, 1.0);
        }
        double walks = 0;
        for (const Edge& edge : edges_) {
            const double height = std::abs(edge.to.y() - edge.from.y());
            const double edgeCells = height == 0 ? 1 : 1 + height + std::abs(edge.to.x() - edge.from.x());
            const int top = rowOf(std::min(edge.from.y(), edge.to.y()));
            const int bottom = rowOf(std::max(edge.from.y(), edge.to.y()));
            walks += sides * edgeCells * (1 + bandsAbove_[std::size_t(bottom) + 1] - bandsAbove_[std::size_t(top)]);
        }
        return walks;
    }

    std::vector<Edge> edges_;
    std::vector<double> cellsInRow_;
    std::vector<double> bandsAbove_;
    QSize drawn_;
    double cost_ = 0;
};

class CostCountingDevice final : public QPaintDevice {
public:
    explicit CostCountingDevice(QSize drawn) : drawn_(drawn), engine_(drawn) {}

    double cost() const { return engine_.cost(); }

    QPaintEngine* paintEngine() const override { return &engine_; }

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        // As an image of this size at the screen's usual 96 dots per inch.
        constexpr int kDotsPerInch = 96;
        switch (metric) {
        case PdmWidth:
            return drawn_.width();
        case PdmHeight:
            return drawn_.height();
        case PdmWidthMM:
            return int(std::lround(drawn_.width() * 25.4 / kDotsPerInch));
        case PdmHeightMM:
            return int(std::lround(drawn_.height() * 25.4 / kDotsPerInch));
        case PdmNumColors:
            return INT_MAX;
        case PdmDepth:
            return 32;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return kDotsPerInch;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(QPaintDevice::devicePixelRatioFScale());
        }
        return 0;
    }

private:
    QSize drawn_;
    mutable CostCountingEngine engine_;
};

} // namespace

double svgDrawingCost(QSvgRenderer& renderer, QSize drawn)
{
    CostCountingDevice device(drawn);
    QPainter painter(&device);
    renderer.render(&painter);
    painter.end();
    return device.cost();
}

} // namespace pennolux
