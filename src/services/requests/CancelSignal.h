#pragma once

#include <atomic>
#include <functional>
#include <mutex>

namespace pennolux {

// Lets one thread abandon what another is waiting for (a transfer, a closed
// message box) at once: cancel() raises the flag and wakes the waiter.
class CancelSignal {
public:
    void cancel();
    bool isCancelled() const { return cancelled_.load(std::memory_order_acquire); }

    // The waiter's way of being woken, kept until clearWaker(); false, and
    // nothing kept, when the signal was already given.
    bool setWaker(std::function<void()> wake);
    void clearWaker();

private:
    std::mutex mutex_;
    std::atomic<bool> cancelled_{false};
    std::function<void()> waker_;
};

// Clears the waker when the wait ends, however it ends.
class WakerRegistration {
public:
    explicit WakerRegistration(CancelSignal* signal) : signal_(signal) {}
    ~WakerRegistration()
    {
        if (signal_)
            signal_->clearWaker();
    }
    WakerRegistration(const WakerRegistration&) = delete;
    WakerRegistration& operator=(const WakerRegistration&) = delete;

private:
    CancelSignal* signal_;
};

} // namespace pennolux
