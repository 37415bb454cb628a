#pragma once

#include <QSize>
#include <vector>

#include "editor/model/Template.h"

namespace pennolux {

// Everything of the template being edited that an undo step or a template
// file puts back: the template, the layer counters, the layers in the order
// the list shows them, the current layer and the canvas size the template
// is run at.
struct TemplateState {
    Template content;
    qint64 textLayerCount = 0;
    qint64 shapeLayerCount = 0;
    std::vector<LayerRef> creationOrder;
    LayerRef current;
    // Invalid while the run follows the window's canvas; a template file's
    // size once one was opened.
    QSize runCanvas;
};

// The template differs, as a user sees it: anything but which layer is current.
bool templateChanged(const TemplateState& before, const TemplateState& after);

} // namespace pennolux
