#include "editor/render/TemplateRenderer.h"

#include <QDir>
#include <QPainter>
#include <algorithm>
#include <cstdint>

#include "editor/render/TextLayerLayout.h"
#include "platform/AppError.h"
#include "production/writers/WorkingImage.h"

namespace pennolux {

namespace {

// Qt places glyphs in 26.6 fixed point, which wraps past 2^25 pixels; a line
// whose glyphs could reach that far is drawn only as far as the canvas shows.
constexpr std::int64_t kSafeGlyphReach = std::int64_t(1) << 24;

void drawShapeLayer(QPainter& painter, const ShapeLayer& layer)
{
    const QRect box = layer.box.rect();
    if (box.isEmpty())
        return;
    // Filled rectangles, not a stroked outline: no pen ever straddles a pixel.
    painter.fillRect(box, Qt::black);
    // A box one pixel across has no inside, and fillRect would take the
    // inverted rectangle for a real one.
    const QRect inside = box.adjusted(1, 1, -1, -1);
    if (!inside.isEmpty())
        painter.fillRect(inside, layer.fill.resolveForImage());
}

// The shortest start of the line that still covers everything from the
// box's left edge to `reach` pixels right of it, with room for glyphs that
// lean back (italics, kerning) from beyond.
QString visiblePart(const QString& line, const RenderFont& font, std::int64_t reach)
{
    qsizetype low = 0;
    qsizetype high = line.size();
    while (low < high) {
        const qsizetype middle = low + (high - low) / 2;
        if (font.checkedAdvance(line.left(middle)) > reach)
            high = middle;
        else
            low = middle + 1;
    }
    return line.left(std::min(line.size(), low + 2));
}

} // namespace

void TemplateRenderer::draw(QPainter& painter, const Template& content, QSize canvas)
{
    painter.drawImage(QPoint(0, 0), backdrop(content, canvas));
    drawLayers(painter, content, canvas, 0);
}

QImage TemplateRenderer::render(const Template& content, QSize canvas)
{
    QImage image = makeWorkingImage(canvas);
    QPainter painter(&image);
    draw(painter, content, canvas);
    return image;
}

void TemplateRenderer::drawLayers(QPainter& painter, const Template& content, QSize canvas, std::size_t first)
{
    for (std::size_t position = first; position < content.stacking.size(); ++position) {
        const LayerRef layer = content.stacking[position];
        if (const TextLayer* text = layer.isText() ? content.textLayer(layer.number) : nullptr)
            drawTextLayer(painter, *text, canvas);
        else if (const ShapeLayer* shape = layer.isShape() ? content.shapeLayer(layer.number) : nullptr)
            drawShapeLayer(painter, *shape);
    }
}

const QImage& TemplateRenderer::backdrop(const Template& content, QSize canvas)
{
    const QRgb color = content.canvasColor.resolveForImage().rgb();
    if (backdrop_.size() == canvas && backdropSource_ == content.background.cacheKey() && backdropColor_ == color)
        return backdrop_;
    // Scaled once per canvas size with area averaging, which keeps a large
    // photograph from aliasing, then reused for every drawing.
    backdrop_ = makeWorkingImage(canvas);
    backdrop_.fill(color);
    if (!content.background.isNull()) {
        const QImage scaled = content.background.scaled(canvas, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        // Qt's scaling gives an empty image when it cannot have its memory.
        if (scaled.isNull())
            throw AppError(QStringLiteral("Cannot draw the picture \"%1\": there is not enough memory to scale it")
                               .arg(QDir::toNativeSeparators(content.backgroundSource)));
        QPainter painter(&backdrop_);
        painter.drawImage(QPoint(0, 0), scaled);
    }
    backdropSource_ = content.background.cacheKey();
    backdropColor_ = color;
    return backdrop_;
}

void TemplateRenderer::drawTextLayer(QPainter& painter, const TextLayer& layer, QSize canvas)
{
    const QRect clip = layer.box.rect() & QRect(QPoint(0, 0), canvas);
    if (clip.isEmpty())
        return;
    // A layer made by hand (not through the model) may hold longer lines
    // than the model allows; they are drawn as far as it would allow.
    const TextLayerPlacement placement = placeTextLayer(layer, fonts_, canvas);
    const RenderFont& font = fonts_.fontFor(placement.font);
    const QFontMetrics metrics(font.font());
    const std::int64_t cell = placement.cellHeight;

    painter.save();
    // Within a clip the caller set (a band of rows), not instead of it.
    painter.setClipRect(clip, painter.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
    painter.setFont(font.font());
    painter.setPen(layer.font.color.resolveForImage());
    for (const PlacedLine& line : placement.lines) {
        if (line.top + cell <= clip.top())
            continue;
        if (line.top > clip.bottom())
            break;
        const std::int64_t reach = std::int64_t(canvas.width()) - line.left + metrics.maxWidth();
        const bool farReaching =
            std::int64_t(line.text.size()) * std::max(metrics.maxWidth(), 1) >= kSafeGlyphReach;
        // Drawn at a point, the text is taken as it is: "&" is a character,
        // never a mnemonic marker.
        font.drawLine(painter, QPoint(int(line.left), int(line.top) + font.ascent()),
                      farReaching ? visiblePart(line.text, font, reach) : line.text);
    }
    painter.restore();
}

} // namespace pennolux
