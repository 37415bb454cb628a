#include "editor/model/TemplateState.h"

namespace pennolux {

bool templateChanged(const TemplateState& before, const TemplateState& after)
{
    return !sameTemplate(before.content, after.content) || before.textLayerCount != after.textLayerCount ||
           before.shapeLayerCount != after.shapeLayerCount || before.creationOrder != after.creationOrder ||
           before.runCanvas != after.runCanvas;
}

} // namespace pennolux
