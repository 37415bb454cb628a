#include "production/textlist/ListLines.h"

#include "platform/text/TextLines.h"

namespace pennolux {

ListTextLineSource::ListTextLineSource(QString text) : text_(std::move(text))
{
    const QChar* const begin = text_.constData();
    forEachLine(QStringView(text_), [this, begin](QStringView line) { lineStarts_.push_back(line.data() - begin); });
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
