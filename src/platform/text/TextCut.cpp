#include "TextCut.h"

#include <QTextBoundaryFinder>
#include <algorithm>

namespace pennolux {

QString cutOnWholeCharacters(const QString& text, qsizetype longest)
{
    if (text.size() <= longest)
        return text;
    // Whether the limit falls between two characters depends on what comes
    // before it and on the one unit after it, never on the rest.
    const QString head = text.left(longest + 1);
    QTextBoundaryFinder boundaries(QTextBoundaryFinder::Grapheme, head);
    boundaries.setPosition(longest);
    qsizetype end = longest;
    if (!boundaries.isAtBoundary())
        end = std::max<qsizetype>(boundaries.toPreviousBoundary(), 0);
    return head.left(end) + QChar(0x2026);
}

} // namespace pennolux
