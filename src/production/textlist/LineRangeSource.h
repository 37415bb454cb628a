#pragma once

#include <QString>
#include <limits>

#include "production/textlist/LineSource.h"

namespace pennolux {

// Line numbers first to last, both included, as the files are named.
struct LineRange {
    static constexpr int kLastPossible = std::numeric_limits<int>::max();

    int first = 1;
    int last = kLastPossible;  // kLastPossible: to the list's end

    bool operator==(const LineRange&) const = default;
};

// The lines of a list whose numbers fall in a range, the list's first line
// being numbered firstNumber: a piece of a longer list is run without a copy
// of it, and a streamed list is still read forward only. Numbers past the
// list's end, or before its start, select nothing. Like every LineSource the
// count follows the list's count as it is now.
class LineRangeSource final : public LineSource {
public:
    LineRangeSource(const LineSource& lines, int firstNumber, LineRange range);

    // The number of this view's first line, which a run names its files from.
    int firstNumber() const { return firstNumber_; }

    int lineCount() const override;
    QString line(int index) const override;

private:
    const LineSource& lines_;
    int firstNumber_;
    int skipped_;   // lines of the list before the view's first
    int maxCount_;  // lines the range holds, however long the list
};

} // namespace pennolux
