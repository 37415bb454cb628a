#pragma once

#include <QString>

namespace pennolux {

// Removes spaces and control characters (every code up to U+0020) at both ends;
// QString::trimmed would also take Unicode spaces that are part of the text.
QString trimSpacesAndControls(const QString& text);

} // namespace pennolux
