#include "editor/render/TextLayerLayout.h"

#include <QRegularExpression>
#include <algorithm>
#include <cstdint>
#include <limits>

#include "production/simplerun/TextMetrics.h"

namespace pennolux {

namespace {

int cutToInt(std::int64_t value)
{
    return int(std::min<std::int64_t>(value, std::numeric_limits<int>::max()));
}

} // namespace

QStringList textLayerLines(const QString& text)
{
    static const QRegularExpression kLineBreak(QStringLiteral("\r\n|\r|\n"));
    return text.split(kLineBreak);
}

QSize textLayerExtent(const QString& text, const RenderFont& font)
{
    const QStringList lines = textLayerLines(text);
    std::int64_t widest = 0;
    for (const QString& line : lines)
        widest = std::max(widest, font.checkedAdvance(line));
    return QSize(cutToInt(widest), cutToInt(std::int64_t(lines.size()) * font.cellHeight()));
}

} // namespace pennolux
