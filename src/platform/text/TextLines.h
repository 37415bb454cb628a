#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

namespace pennolux {

// Lines as every text file of the program is read: CR LF, LF and a lone CR
// each end a line, and the text after the last break is a line only when it
// holds something ("a\r\n" is one line, "" none).

inline bool isLineBreak(QChar character)
{
    return character == u'\n' || character == u'\r';
}

// Calls lineFound(QStringView line) for every line of text, in order; each
// view points into text.
template <typename LineFound>
void forEachLine(QStringView text, LineFound lineFound)
{
    const qsizetype length = text.size();
    qsizetype lineStart = 0;
    for (qsizetype at = 0; at < length; ++at) {
        const QChar character = text[at];
        if (!isLineBreak(character))
            continue;
        lineFound(text.sliced(lineStart, at - lineStart));
        if (character == u'\r' && at + 1 < length && text[at + 1] == u'\n')
            ++at;
        lineStart = at + 1;
    }
    if (lineStart < length)
        lineFound(text.sliced(lineStart));
}

QStringList splitLines(QStringView text);

// The text with every line break, of whichever kind, written as lineEnd;
// no break is added or dropped.
QString withLineEnds(QStringView text, QStringView lineEnd);

} // namespace pennolux
