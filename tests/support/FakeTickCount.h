#pragma once

#include "platform/system/TickCount.h"

namespace pennolux::testing {

// A clock that moves only when the test sets it.
class FakeTickCount final : public TickCount {
public:
    std::uint32_t milliseconds() const override { return now; }

    std::uint32_t now = 1000;
};

} // namespace pennolux::testing
