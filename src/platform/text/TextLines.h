#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include "platform/text/LineSplitter.h"

namespace pennolux {

// Lines split as LineSplitter.h says: CR LF, LF and a lone CR each end a
// line; the text after the last break is a line only when it holds something.

// Calls lineFound(QStringView line) for every line of text, in order; each
// view points into text.
template <typename LineFound>
void forEachLine(QStringView text, LineFound lineFound)
{
    LineSplitter splitter;
    splitter.feed(text, true);
    while (const std::optional<QStringView> line = splitter.nextLine())
        lineFound(*line);
}

QStringList splitLines(QStringView text);

// The text with every line break, of whichever kind, written as lineEnd;
// no break is added or dropped.
QString withLineEnds(QStringView text, QStringView lineEnd);

// A text editor's raw text (QTextDocument::toRawText()) as plain text, with
// both of the breaks a user can type there written as lineBreak: the
// paragraph break of Enter (U+2029) and the line separator of Shift+Enter
// (U+2028). Unlike toPlainText(), a non-breaking space stays one.
QString withParagraphBreaks(QString editorText, QStringView lineBreak);

} // namespace pennolux
