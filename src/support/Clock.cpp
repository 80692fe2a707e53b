#include "support/Clock.h"

#include <atomic>
#include <mutex>

#include "support/RealClock.h"

namespace harbormind {
namespace {

std::mutex& clockMutex() {
    static std::mutex mutex;
    return mutex;
}

std::shared_ptr<Clock>& clockSlot() {
    static std::shared_ptr<Clock> slot = std::make_shared<RealClock>();
    return slot;
}

std::atomic<Clock*> currentClock{nullptr};

}  // namespace

Clock& Clock::current() {
    Clock* clock = currentClock.load(std::memory_order_acquire);
    if (clock != nullptr) {
        return *clock;
    }
    std::lock_guard lock(clockMutex());
    currentClock.store(clockSlot().get(), std::memory_order_release);
    return *clockSlot();
}

void Clock::setCurrent(std::shared_ptr<Clock> clock) {
    std::lock_guard lock(clockMutex());
    // The previous clock stays alive for the process: threads may still hold a reference.
    static std::vector<std::shared_ptr<Clock>> retired;
    retired.push_back(clockSlot());
    clockSlot() = clock ? std::move(clock) : std::make_shared<RealClock>();
    currentClock.store(clockSlot().get(), std::memory_order_release);
}

}  // namespace harbormind
