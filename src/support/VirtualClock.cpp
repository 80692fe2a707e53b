#include "support/VirtualClock.h"

#include <algorithm>

namespace harbormind {

VirtualClock::VirtualClock() {
    depth_[std::this_thread::get_id()] = 1;
    busy_ = 1;
}

Clock::TimePoint VirtualClock::now() const {
    std::lock_guard lock(mutex_);
    return now_;
}

void VirtualClock::sleepFor(Duration duration) {
    TimePoint deadline;
    {
        std::lock_guard lock(mutex_);
        deadline = now_ + duration;
    }
    waitUntil([] { return false; }, deadline);
}

bool VirtualClock::waitUntil(const std::function<bool()>& ready, std::optional<TimePoint> deadline) {
    std::unique_lock lock(mutex_);
    const int depth = depth_[std::this_thread::get_id()];
    busy_ -= depth;
    std::optional<std::multiset<TimePoint>::iterator> registered;
    if (deadline) {
        registered = waitDeadlines_.insert(*deadline);
    }
    waiters_.push_back(&ready);
    bool result = false;
    for (;;) {
        if (ready()) {
            result = true;
            break;
        }
        if (deadline && now_ >= *deadline) {
            break;
        }
        if (busy_ == 0) {
            // A waiter whose condition holds has been notified but has not yet woken; it
            // becomes busy as soon as it does, so time waits for it.
            if (anotherWaiterIsReady(&ready)) {
                changed_.notify_all();
                changed_.wait(lock);
                continue;
            }
            // A deadline already reached belongs to a waiter that is about to wake: let it run.
            // A timer that is due fires at once.
            auto next = earliestDeadline();
            if (next && (*next > now_ || timerIsDue())) {
                advanceTo(lock, *next);
                continue;
            }
        }
        changed_.wait(lock);
    }
    if (registered) {
        waitDeadlines_.erase(*registered);
    }
    waiters_.erase(std::find(waiters_.begin(), waiters_.end(), &ready));
    busy_ += depth;
    return result;
}

void VirtualClock::notifyAll() {
    { std::lock_guard lock(mutex_); }
    changed_.notify_all();
}

Clock::TimerId VirtualClock::schedule(Duration delay, std::function<void()> fire) {
    std::lock_guard lock(mutex_);
    TimerId id = nextTimer_++;
    timers_[id] = std::move(fire);
    timerDeadlines_.emplace(now_ + std::max(delay, Duration{0}), id);
    changed_.notify_all();
    return id;
}

void VirtualClock::cancel(TimerId id) {
    std::lock_guard lock(mutex_);
    timers_.erase(id);
    changed_.notify_all();
}

void VirtualClock::workQueued() {
    std::lock_guard lock(mutex_);
    ++busy_;
}

void VirtualClock::workStarted() {
    std::lock_guard lock(mutex_);
    ++depth_[std::this_thread::get_id()];
}

void VirtualClock::workFinished() {
    {
        std::lock_guard lock(mutex_);
        --depth_[std::this_thread::get_id()];
        --busy_;
    }
    changed_.notify_all();
}

std::optional<Clock::TimePoint> VirtualClock::earliestDeadline() const {
    std::optional<TimePoint> next;
    for (const auto& [when, id] : timerDeadlines_) {
        if (timers_.count(id) != 0) {
            next = when;
            break;
        }
    }
    if (!waitDeadlines_.empty() && (!next || *waitDeadlines_.begin() < *next)) {
        next = *waitDeadlines_.begin();
    }
    return next;
}

bool VirtualClock::anotherWaiterIsReady(const std::function<bool()>* self) const {
    return std::any_of(waiters_.begin(), waiters_.end(),
                       [self](const std::function<bool()>* waiter) { return waiter != self && (*waiter)(); });
}

bool VirtualClock::timerIsDue() const {
    for (const auto& [when, id] : timerDeadlines_) {
        if (when > now_) {
            return false;
        }
        if (timers_.count(id) != 0) {
            return true;
        }
    }
    return false;
}

void VirtualClock::advanceTo(std::unique_lock<std::mutex>& lock, TimePoint target) {
    now_ = std::max(now_, target);
    while (!timerDeadlines_.empty() && timerDeadlines_.begin()->first <= now_) {
        TimerId id = timerDeadlines_.begin()->second;
        timerDeadlines_.erase(timerDeadlines_.begin());
        auto timer = timers_.find(id);
        if (timer == timers_.end()) {
            continue;
        }
        auto fire = std::move(timer->second);
        timers_.erase(timer);
        ++busy_;
        lock.unlock();
        fire();
        lock.lock();
        --busy_;
    }
    changed_.notify_all();
}

}  // namespace harbormind
