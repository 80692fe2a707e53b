// Which clock is the process's current one: the real clock until a test sets another. Kept
// apart from the interface, which knows no clock of its own kind.
#include <atomic>
#include <mutex>
#include <vector>

#include "support/Clock.h"
#include "support/RealClock.h"

namespace harbormind {
namespace {

std::mutex& clockMutex() {
    static auto* mutex = new std::mutex;  // never destroyed, like the clocks themselves
    return *mutex;
}

std::shared_ptr<Clock>& clockSlot() {
    // Never destroyed: detached worker threads may still use the clock while the process exits.
    static auto* slot = new std::shared_ptr<Clock>(std::make_shared<RealClock>());
    return *slot;
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
    static auto* retired = new std::vector<std::shared_ptr<Clock>>;
    retired->push_back(clockSlot());
    clockSlot() = clock ? std::move(clock) : std::make_shared<RealClock>();
    currentClock.store(clockSlot().get(), std::memory_order_release);
}

}  // namespace harbormind
