#pragma once

#include <QString>

namespace pennolux {

// Which certificate authorities a secure post trusts. Verification of the
// certificate and of the host name is never switched off; this only says
// whose signatures count.
class TlsTrust {
public:
    virtual ~TlsTrust() = default;
    // A PEM file of authorities; empty for the system's own store.
    virtual QString caBundleFile() const = 0;
};

class SystemTlsTrust final : public TlsTrust {
public:
    QString caBundleFile() const override { return {}; }
};

} // namespace pennolux
