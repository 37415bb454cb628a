#pragma once

#include <QString>

namespace pennolux {

// A lock announcing the running application under a name. A second instance
// takes it as well (shared), so it never keeps anyone from starting; it is held
// until the object dies.
class NamedLock {
public:
    explicit NamedLock(const QString& name);
    ~NamedLock();
    NamedLock(const NamedLock&) = delete;
    NamedLock& operator=(const NamedLock&) = delete;

private:
    int descriptor_ = -1;
};

} // namespace pennolux
