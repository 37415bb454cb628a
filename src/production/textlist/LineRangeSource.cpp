#include "production/textlist/LineRangeSource.h"

#include <algorithm>

namespace pennolux {

LineRangeSource::LineRangeSource(const LineSource& lines, int firstNumber, LineRange range)
    : lines_(lines),
      firstNumber_(std::max(firstNumber, range.first)),
      skipped_(firstNumber_ - firstNumber),
      maxCount_(int(std::max<qint64>(0, qint64(range.last) - firstNumber_ + 1)))
{
}

int LineRangeSource::lineCount() const
{
    return std::clamp(lines_.lineCount() - skipped_, 0, maxCount_);
}

QString LineRangeSource::line(int index) const
{
    return lines_.line(skipped_ + index);
}

} // namespace pennolux
