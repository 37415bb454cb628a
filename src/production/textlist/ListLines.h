#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "production/textlist/LineSource.h"

namespace pennolux {

// A fixed list of lines, for runs without a window.
class StringListLineSource : public LineSource {
public:
    explicit StringListLineSource(QStringList lines) : lines_(std::move(lines)) {}

    int lineCount() const override { return int(lines_.size()); }
    QString line(int index) const override { return lines_.at(index); }

private:
    QStringList lines_;
};

// The lines of one list text, split as every text file is (platform/text/LineSplitter.h)
// but kept in the text itself: a long list costs one offset a line rather than a string a
// line, which keeps a batch run's memory close to the size of its list.
class ListTextLineSource : public LineSource {
public:
    explicit ListTextLineSource(QString text);

    int lineCount() const override { return int(lineStarts_.size()); }
    QString line(int index) const override;

private:
    QString text_;
    std::vector<qsizetype> lineStarts_;
};

} // namespace pennolux
