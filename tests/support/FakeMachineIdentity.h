#pragma once

#include "platform/AppError.h"
#include "platform/system/MachineIdentity.h"

namespace pennolux::testing {

class FakeMachineIdentity final : public MachineIdentity {
public:
    QString machineGuid() const override
    {
        if (unreadable)
            throw AppError("\"/etc/machine-id\" does not hold a machine id");
        return guid;
    }

    QString guid = "0f1e2d3c-4b5a-4978-8695-a4b3c2d1e0f9";
    bool unreadable = false;
};

} // namespace pennolux::testing
