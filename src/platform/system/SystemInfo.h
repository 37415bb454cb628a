#pragma once

#include <QString>

namespace pennolux {

// What the operating system says about itself.
struct OsFacts {
    QString productName;  // "Debian GNU/Linux 12"
    int majorVersion = 0; // of the kernel: 6.1.0 gives 6, 1 and 0
    int minorVersion = 0;
    int build = 0;
    int servicePack = 0;  // none on Linux
    bool is64Bit = false; // of the operating system, not of this program
};

class SystemInfo {
public:
    virtual ~SystemInfo() = default;
    virtual OsFacts osFacts() const = 0;
};

// os-release's NAME and VERSION_ID, the kernel's release and machine.
class HostSystemInfo final : public SystemInfo {
public:
    OsFacts osFacts() const override;
};

// The three leading numbers of a kernel release ("6.1.0-18-amd64"); missing
// ones are 0.
void parseKernelRelease(const QString& release, OsFacts& facts);

// Whether a kernel machine name ("x86_64", "aarch64", "i686") is a 64-bit one.
bool isSixtyFourBitMachine(const QString& machine);

} // namespace pennolux
