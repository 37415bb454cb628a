#include "FontKeys.h"

#include <cmath>

#include "IniDocument.h"
#include "platform/Dialogs.h"

namespace pennolux {

namespace {

const QString kSection = QStringLiteral("Settings");

int pointSizeOf(const QFont& font)
{
    if (font.pointSizeF() > 0)
        return int(std::lround(font.pointSizeF()));
    // A pixel-sized font: points at the 96 dpi every image is drawn at.
    return int(std::lround(font.pixelSize() * 72.0 / 96.0));
}

int styleBitsOf(const QFont& font)
{
    return (font.bold() ? 1 : 0) + (font.underline() ? 2 : 0) + (font.italic() ? 4 : 0);
}

} // namespace

void writeFontKeys(IniDocument& settings, const ColoredFont& font)
{
    settings.writeString(kSection, QStringLiteral("Textcolor"), font.color.toString());
    settings.writeString(kSection, QStringLiteral("Fontname"), font.font.family());
    settings.writeString(kSection, QStringLiteral("Fontsize"), QString::number(pointSizeOf(font.font)));
    settings.writeString(kSection, QStringLiteral("Fontstyle"), QString::number(styleBitsOf(font.font)));
}

} // namespace pennolux
