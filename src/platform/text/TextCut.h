#pragma once

#include <QString>

namespace pennolux {

// The text when it has at most longest UTF-16 units; else as many whole
// characters (grapheme clusters: an emoji, a letter with its accents) as fit
// in longest units, followed by "…". Takes time in proportion to longest,
// not to the text.
QString cutOnWholeCharacters(const QString& text, qsizetype longest);

} // namespace pennolux
