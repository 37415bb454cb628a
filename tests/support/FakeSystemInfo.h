#pragma once

#include "platform/system/SystemInfo.h"

namespace pennolux::testing {

class FakeSystemInfo final : public SystemInfo {
public:
    OsFacts osFacts() const override { return facts; }

    OsFacts facts{"Debian GNU/Linux 12", 6, 1, 0, 0, true};
};

} // namespace pennolux::testing
