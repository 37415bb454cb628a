#include "TextCut.h"

#include <QTextBoundaryFinder>
#include <algorithm>

namespace pennolux {

namespace {

// Code units looked at for a cut by characters: far more than the few
// characters a quote takes, so a line of megabytes is not scanned whole.
constexpr qsizetype kCharacterScanUnits = 4096;

} // namespace

qsizetype wholeCharacterCutEnd(const QString& text, qsizetype longest, CutMeasure measure)
{
    const bool byUnits = measure == CutMeasure::Utf16Units;
    if (byUnits && text.size() <= longest)
        return text.size();
    // Whether a position lies between two characters depends on what comes
    // before it and on the one unit after it, never on the rest.
    const qsizetype scanned = std::min(text.size(), byUnits ? longest + 1 : kCharacterScanUnits);
    const QString head = text.left(scanned);
    QTextBoundaryFinder boundaries(QTextBoundaryFinder::Grapheme, head);
    qsizetype end = 0;
    for (qsizetype counted = 0; byUnits || counted < longest; ++counted) {
        const qsizetype next = boundaries.toNextBoundary();
        // The end of a cut head is no boundary of the text's own.
        if (next < 0 || (byUnits && next > longest) || (next == scanned && scanned < text.size()))
            break;
        end = next;
    }
    return end;
}

QString cutOnWholeCharacters(const QString& text, qsizetype longest)
{
    const qsizetype end = wholeCharacterCutEnd(text, longest, CutMeasure::Utf16Units);
    if (end == text.size())
        return text;
    return text.left(end) + QChar(0x2026);
}

} // namespace pennolux
