#include "CancelSignal.h"

namespace pennolux {

void CancelSignal::cancel()
{
    std::lock_guard lock(mutex_);
    cancelled_.store(true, std::memory_order_release);
    if (waker_)
        waker_();
}

bool CancelSignal::setWaker(std::function<void()> wake)
{
    std::lock_guard lock(mutex_);
    if (cancelled_.load(std::memory_order_acquire))
        return false;
    waker_ = std::move(wake);
    return true;
}

void CancelSignal::clearWaker()
{
    std::lock_guard lock(mutex_);
    waker_ = nullptr;
}

} // namespace pennolux
