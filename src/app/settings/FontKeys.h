#pragma once

namespace pennolux {

class IniDocument;
struct ColoredFont;

// Writes "Textcolor", "Fontname", "Fontsize" and "Fontstyle" (1 bold +
// 2 underline + 4 italic; strike-out not recorded) into section "Settings".
void writeFontKeys(IniDocument& settings, const ColoredFont& font);

} // namespace pennolux
