#pragma once

#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

#include "support/Clock.h"

namespace harbormind {

// Wall-clock time. Scheduled work fires from one timer thread started on first use.
class RealClock final : public Clock {
public:
    RealClock();
    ~RealClock() override;

    TimePoint now() const override;
    void sleepFor(Duration duration) override;
    bool waitUntil(const std::function<bool()>& ready, std::optional<TimePoint> deadline) override;
    void notifyAll() override;
    TimerId schedule(Duration delay, std::function<void()> fire) override;
    void cancel(TimerId id) override;

private:
    void timerLoop();

    std::chrono::steady_clock::time_point epoch_;
    std::mutex waitMutex_;
    std::condition_variable waitCondition_;

    std::mutex timerMutex_;
    std::condition_variable timerCondition_;
    std::multimap<TimePoint, TimerId> deadlines_;
    std::map<TimerId, std::function<void()>> timers_;
    TimerId nextTimer_ = 1;
    bool stopping_ = false;
    std::thread timerThread_;
};

}  // namespace harbormind
