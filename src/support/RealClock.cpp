#include "support/RealClock.h"

namespace harbormind {

RealClock::RealClock() : epoch_(std::chrono::steady_clock::now()) {}

RealClock::~RealClock() {
    {
        std::lock_guard lock(timerMutex_);
        stopping_ = true;
    }
    timerCondition_.notify_all();
    if (timerThread_.joinable()) {
        timerThread_.join();
    }
}

Clock::TimePoint RealClock::now() const {
    return std::chrono::duration_cast<TimePoint>(std::chrono::steady_clock::now() - epoch_);
}

void RealClock::sleepFor(Duration duration) {
    std::this_thread::sleep_for(duration);
}

bool RealClock::waitUntil(const std::function<bool()>& ready, std::optional<TimePoint> deadline) {
    std::unique_lock lock(waitMutex_);
    if (!deadline) {
        waitCondition_.wait(lock, ready);
        return true;
    }
    return waitCondition_.wait_until(lock, epoch_ + *deadline, ready);
}

void RealClock::notifyAll() {
    { std::lock_guard lock(waitMutex_); }
    waitCondition_.notify_all();
}

Clock::TimerId RealClock::schedule(Duration delay, std::function<void()> fire) {
    std::lock_guard lock(timerMutex_);
    if (!timerThread_.joinable()) {
        timerThread_ = std::thread([this] { timerLoop(); });
    }
    TimerId id = nextTimer_++;
    timers_[id] = std::move(fire);
    deadlines_.emplace(now() + delay, id);
    timerCondition_.notify_all();
    return id;
}

void RealClock::cancel(TimerId id) {
    std::lock_guard lock(timerMutex_);
    timers_.erase(id);
}

void RealClock::timerLoop() {
    std::unique_lock lock(timerMutex_);
    while (!stopping_) {
        if (deadlines_.empty()) {
            timerCondition_.wait(lock);
            continue;
        }
        auto first = deadlines_.begin();
        if (first->first > now()) {
            timerCondition_.wait_until(lock, epoch_ + first->first);
            continue;
        }
        TimerId id = first->second;
        deadlines_.erase(first);
        auto timer = timers_.find(id);
        if (timer == timers_.end()) {
            continue;
        }
        auto fire = std::move(timer->second);
        timers_.erase(timer);
        lock.unlock();
        fire();
        lock.lock();
    }
}

}  // namespace harbormind
