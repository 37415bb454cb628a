#include "TickCount.h"

#include <chrono>

namespace pennolux {

std::uint32_t SteadyTickCount::milliseconds() const
{
    const auto elapsed = std::chrono::steady_clock::now().time_since_epoch();
    return std::uint32_t(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

} // namespace pennolux
