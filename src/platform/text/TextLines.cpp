#include "platform/text/TextLines.h"

namespace pennolux {

QStringList splitLines(QStringView text)
{
    QStringList lines;
    forEachLine(text, [&lines](QStringView line) { lines.append(line.toString()); });
    return lines;
}

// Into a buffer of the final size: a list of a million lines must not be
// copied once per line break, as repeated replacing would.
QString withLineEnds(QStringView text, QStringView lineEnd)
{
    qsizetype lines = 0;
    forEachLine(text, [&lines](QStringView) { ++lines; });
    QString result;
    result.reserve(text.size() + lines * lineEnd.size());
    LineSplitter splitter;
    splitter.feed(text, true);
    while (const std::optional<QStringView> line = splitter.nextLine()) {
        result.append(*line);
        result.append(lineEnd);
    }
    // The last line had no break of its own.
    if (lines > 0 && !splitter.endsWithLineBreak())
        result.chop(lineEnd.size());
    return result;
}

QString withParagraphBreaks(QString editorText, QStringView lineBreak)
{
    if (lineBreak.size() == 1) {
        editorText.replace(QChar::ParagraphSeparator, lineBreak.front());
        return editorText.replace(QChar::LineSeparator, lineBreak.front());
    }
    const QString written = lineBreak.toString();
    editorText.replace(QChar::ParagraphSeparator, written);
    return editorText.replace(QChar::LineSeparator, written);
}

} // namespace pennolux
