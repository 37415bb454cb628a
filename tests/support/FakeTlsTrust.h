#pragma once

#include "platform/desktop/TlsTrust.h"

namespace pennolux::testing {

// Trusts the authority a test names (the local service's), else the system's.
class FakeTlsTrust final : public TlsTrust {
public:
    QString caBundleFile() const override { return caFile; }

    QString caFile;
};

} // namespace pennolux::testing
