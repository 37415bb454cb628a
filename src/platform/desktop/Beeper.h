#pragma once

namespace pennolux {

// The desktop's default warning sound.
class Beeper {
public:
    virtual ~Beeper() = default;
    virtual void beep() = 0;
};

} // namespace pennolux
