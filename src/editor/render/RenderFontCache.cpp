#include "editor/render/RenderFontCache.h"

namespace pennolux {

namespace {

constexpr std::size_t kMostFonts = 64;

} // namespace

const RenderFont& RenderFontCache::fontFor(const QFont& font)
{
    for (const auto& [key, renderFont] : fonts_)
        if (key == font && key.styleStrategy() == font.styleStrategy())
            return *renderFont;
    if (fonts_.size() >= kMostFonts)
        fonts_.clear();
    fonts_.emplace_back(font, std::make_unique<RenderFont>(font));
    return *fonts_.back().second;
}

} // namespace pennolux
