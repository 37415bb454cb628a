#include "editor/model/Layers.h"

namespace pennolux {

QString layerName(LayerRef layer)
{
    switch (layer.kind) {
    case LayerKind::Text:
        return QStringLiteral("Text %1").arg(layer.number);
    case LayerKind::Shape:
        return QStringLiteral("Shape %1").arg(layer.number);
    case LayerKind::None:
        break;
    }
    return QString();
}

} // namespace pennolux
