#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace harbormind {

// Every delay, sleep, poll and time limit goes through the current clock, so tests can run
// on a virtual clock where a 120-second wait takes no real time.
class Clock {
public:
    using Duration = std::chrono::nanoseconds;
    using TimePoint = std::chrono::nanoseconds;  // since the clock's own epoch
    using TimerId = std::uint64_t;

    virtual ~Clock() = default;

    virtual TimePoint now() const = 0;
    virtual void sleepFor(Duration duration) = 0;

    // Blocks until `ready()` holds (true) or the deadline passes (false). `ready` runs under
    // the clock's lock; whoever changes what it reads calls notifyAll() afterwards, without
    // holding a lock of its own.
    virtual bool waitUntil(const std::function<bool()>& ready, std::optional<TimePoint> deadline) = 0;
    virtual void notifyAll() = 0;

    // Runs `fire` once after `delay`. `fire` must be short: it usually posts to a queue.
    virtual TimerId schedule(Duration delay, std::function<void()> fire) = 0;
    virtual void cancel(TimerId id) = 0;

    // Work accounting: a virtual clock only moves while no work is pending or running.
    // Queues call these around every task; the real clock ignores them.
    virtual void workQueued() {}
    virtual void workStarted() {}
    virtual void workFinished() {}

    static Clock& current();
    static void setCurrent(std::shared_ptr<Clock> clock);
};

constexpr Clock::Duration seconds(double value) {
    return std::chrono::duration_cast<Clock::Duration>(std::chrono::duration<double>(value));
}

inline double toSeconds(Clock::Duration value) {
    return std::chrono::duration<double>(value).count();
}

}  // namespace harbormind
