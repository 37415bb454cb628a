#include "production/textlist/ListLines.h"

namespace pennolux {

namespace {

bool isLineBreak(QChar character)
{
    return character == u'\n' || character == u'\r';
}

// Calls lineFound(start, length) for every line of text, in order.
template <typename LineFound>
void forEachListLine(QStringView text, LineFound lineFound)
{
    const qsizetype length = text.size();
    qsizetype lineStart = 0;
    for (qsizetype at = 0; at < length; ++at) {
        const QChar character = text[at];
        if (!isLineBreak(character))
            continue;
        lineFound(lineStart, at - lineStart);
        if (character == u'\r' && at + 1 < length && text[at + 1] == u'\n')
            ++at;
        lineStart = at + 1;
    }
    // The text after the last break is a line only when it holds something.
    if (lineStart < length)
        lineFound(lineStart, length - lineStart);
}

} // namespace

QStringList splitListLines(const QString& text)
{
    QStringList lines;
    const QStringView view(text);
    forEachListLine(view, [&](qsizetype start, qsizetype length) { lines.append(view.sliced(start, length).toString()); });
    return lines;
}

ListTextLineSource::ListTextLineSource(QString text) : text_(std::move(text))
{
    forEachListLine(QStringView(text_), [this](qsizetype start, qsizetype) { lineStarts_.push_back(start); });
    lineStarts_.shrink_to_fit();
}

QString ListTextLineSource::line(int index) const
{
    const QStringView rest = QStringView(text_).sliced(lineStarts_.at(std::size_t(index)));
    qsizetype length = 0;
    while (length < rest.size() && !isLineBreak(rest[length]))
        ++length;
    return rest.first(length).toString();
}

} // namespace pennolux
