#pragma once

#include <condition_variable>
#include <map>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "support/Clock.h"

namespace harbormind {

// Deterministic time for tests. Time stands still while any queued work is pending or
// running; when every participant is waiting, it jumps to the earliest deadline (a timer,
// a sleep or a wait's time limit). The thread that creates the clock counts as busy
// except while it waits through the clock, so a test body is never overtaken by time.
class VirtualClock final : public Clock {
public:
    VirtualClock();

    TimePoint now() const override;
    void sleepFor(Duration duration) override;
    bool waitUntil(const std::function<bool()>& ready, std::optional<TimePoint> deadline) override;
    void notifyAll() override;
    TimerId schedule(Duration delay, std::function<void()> fire) override;
    void cancel(TimerId id) override;

    void workQueued() override;
    void workStarted() override;
    void workFinished() override;

private:
    std::optional<TimePoint> earliestDeadline() const;
    bool timerIsDue() const;
    bool anotherWaiterIsReady(const std::function<bool()>* self) const;
    void advanceTo(std::unique_lock<std::mutex>& lock, TimePoint target);

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    TimePoint now_{0};
    int busy_ = 0;
    std::map<std::thread::id, int> depth_;
    std::multimap<TimePoint, TimerId> timerDeadlines_;
    std::map<TimerId, std::function<void()>> timers_;
    std::multiset<TimePoint> waitDeadlines_;
    // The conditions of every thread waiting through the clock. A waiter whose condition
    // already holds is about to wake and become busy again, so time must not move meanwhile.
    std::vector<const std::function<bool()>*> waiters_;
    TimerId nextTimer_ = 1;
};

}  // namespace harbormind
