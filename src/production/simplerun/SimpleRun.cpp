#include "production/simplerun/SimpleRun.h"

#include <QPainter>

#include "production/simplerun/SimpleLineEncoder.h"
#include "production/simplerun/TextMetrics.h"
#include "production/writers/WorkingImage.h"

namespace pennolux {

QImage renderSimpleImage(const QString& text, const SimpleLook& look, const RenderFont& font)
{
    const QSize size = checkedSimpleImageSize(text, look, font);
    QImage image = makeWorkingImage(size);
    QPainter painter(&image);
    painter.setFont(font.font());
    painter.setPen(look.textColor);
    drawSimpleLine(painter, size, text, look, font);
    return image;
}

LineEncoderFactory simpleLineEncoders(const SimpleLook& look, ImageFormat format)
{
    return [look, format] { return std::make_unique<SimpleLineEncoder>(look, format); };
}

} // namespace pennolux
