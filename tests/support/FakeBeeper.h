#pragma once

#include "platform/desktop/Beeper.h"

namespace pennolux::testing {

class FakeBeeper final : public Beeper {
public:
    void beep() override { ++beeps; }

    int beeps = 0;
};

} // namespace pennolux::testing
