#pragma once

#include <QString>

namespace pennolux {

// How much of a text a cut keeps: UTF-16 units, for a field of a fixed
// size, or user-perceived characters (grapheme clusters), for a quote.
enum class CutMeasure { Utf16Units, Characters };

// Where a cut keeping at most `longest` of the text, measured so, ends: a
// position between two whole characters (grapheme clusters: an emoji, a
// letter with its accents), never inside one, and the text's size when all
// of it fits. Takes time in proportion to `longest`, not to the text; by
// characters it looks at no more than the first 4,096 units.
qsizetype wholeCharacterCutEnd(const QString& text, qsizetype longest, CutMeasure measure);

// The text when it has at most longest UTF-16 units; else as many whole
// characters as fit in longest units, followed by "…".
QString cutOnWholeCharacters(const QString& text, qsizetype longest);

} // namespace pennolux
