#pragma once

#include <QFont>
#include <memory>
#include <utility>
#include <vector>

#include "production/simplerun/TextMetrics.h"

namespace pennolux {

// The RenderFonts of one thread, made once per font: reading a font's tables
// costs more than drawing a line with it. A template has few fonts; the
// cache starts afresh when an editing session has gone through many.
class RenderFontCache {
public:
    const RenderFont& fontFor(const QFont& font);

private:
    std::vector<std::pair<QFont, std::unique_ptr<RenderFont>>> fonts_;
};

} // namespace pennolux
