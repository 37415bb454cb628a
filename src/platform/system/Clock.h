#pragma once

#include <QString>

namespace pennolux {

// Today's date as the user writes it (the tick count is TickCount's).
class Clock {
public:
    virtual ~Clock() = default;
    // Today in the user's short date format at this moment ("17.03.25" for de-DE).
    virtual QString localShortDate() const = 0;
};

class SystemClock final : public Clock {
public:
    QString localShortDate() const override;
};

} // namespace pennolux
