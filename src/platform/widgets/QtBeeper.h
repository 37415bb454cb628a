#pragma once

#include "platform/desktop/Beeper.h"

namespace pennolux {

class QtBeeper final : public Beeper {
public:
    void beep() override;
};

} // namespace pennolux
