#pragma once

#include <cstdint>

namespace pennolux {

// A millisecond counter that only ever moves forward and wraps at 2^32, so
// callers compare two readings by their unsigned difference.
class TickCount {
public:
    virtual ~TickCount() = default;
    virtual std::uint32_t milliseconds() const = 0;
};

// The monotonic clock: never jumps when the wall clock is set.
class SteadyTickCount final : public TickCount {
public:
    std::uint32_t milliseconds() const override;
};

} // namespace pennolux
