#pragma once

#include <QString>

namespace pennolux {

// The list as a run reads it: the count is asked afresh before every line,
// since the window's list may change while a run walks it.
class LineSource {
public:
    virtual ~LineSource() = default;
    virtual int lineCount() const = 0;
    virtual QString line(int index) const = 0;
};

} // namespace pennolux
