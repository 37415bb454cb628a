#include "production/simplerun/SimplePreview.h"

#include "production/linerun/LineRun.h"
#include "production/simplerun/TextMetrics.h"

namespace pennolux {

namespace {

constexpr int kMaxZoom = 8;

std::optional<PreviewLine> firstNonEmpty(const LineSource& lines, int from)
{
    for (int index = from; index < lines.lineCount(); ++index) {
        QString text = lines.line(index);
        if (!text.isEmpty())
            return PreviewLine{index, std::move(text)};
    }
    return std::nullopt;
}

} // namespace

std::optional<PreviewLine> previewLine(const LineSource& lines, int cursorIndex)
{
    if (cursorIndex >= 0 && cursorIndex < lines.lineCount()) {
        QString text = lines.line(cursorIndex);
        if (!text.isEmpty())
            return PreviewLine{cursorIndex, std::move(text)};
        if (auto after = firstNonEmpty(lines, cursorIndex + 1))
            return after;
    }
    return firstNonEmpty(lines, 0);
}

SimplePreview renderSimplePreview(const PreviewLine& line, const SimpleLook& look, const RenderFont& font)
{
    try {
        return {renderSimpleImage(line.text, look, font), QString()};
    } catch (...) {
        return {QImage(), currentLineErrorText(line.index + 1, line.text)};
    }
}

int previewZoom(QSize image, QSize area)
{
    if (image.isEmpty())
        return 1;
    int zoom = kMaxZoom;
    while (zoom > 1 && (image.width() * zoom > area.width() || image.height() * zoom > area.height()))
        --zoom;
    return zoom;
}

} // namespace pennolux
