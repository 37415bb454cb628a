#include "platform/text/TextLines.h"

namespace pennolux {

QStringList splitLines(QStringView text)
{
    QStringList lines;
    forEachLine(text, [&lines](QStringView line) { lines.append(line.toString()); });
    return lines;
}

// One pass into a buffer of the final size: a list of a million lines must
// not be copied once per line break, as repeated replacing would.
QString withLineEnds(QStringView text, QStringView lineEnd)
{
    qsizetype breaks = 0;
    for (qsizetype at = 0; at < text.size(); ++at) {
        if (!isLineBreak(text[at]))
            continue;
        ++breaks;
        if (text[at] == u'\r' && at + 1 < text.size() && text[at + 1] == u'\n')
            ++at;
    }
    QString result;
    result.reserve(text.size() + breaks * lineEnd.size());
    qsizetype copiedUpTo = 0;
    for (qsizetype at = 0; at < text.size(); ++at) {
        if (!isLineBreak(text[at]))
            continue;
        result.append(text.sliced(copiedUpTo, at - copiedUpTo));
        result.append(lineEnd);
        if (text[at] == u'\r' && at + 1 < text.size() && text[at + 1] == u'\n')
            ++at;
        copiedUpTo = at + 1;
    }
    result.append(text.sliced(copiedUpTo));
    return result;
}

} // namespace pennolux
