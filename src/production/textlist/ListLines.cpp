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
    LineSplitter splitter;
    splitter.feed(QStringView(text_).sliced(lineStarts_.at(std::size_t(index))), true);
    return splitter.nextLine().value_or(QStringView()).toString();
}

} // namespace pennolux
