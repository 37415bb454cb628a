#pragma once

#include "platform/system/Clock.h"

namespace pennolux::testing {

class FakeClock final : public Clock {
public:
    QString localShortDate() const override { return shortDate; }

    QString shortDate = "17.03.25";
};

} // namespace pennolux::testing
