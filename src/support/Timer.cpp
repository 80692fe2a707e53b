#include "support/Timer.h"

namespace harbormind {

std::shared_ptr<Timer> Timer::scheduled(std::shared_ptr<DispatchQueue> queue, Clock::Duration interval,
                                        TimerRepeat repeat, std::function<void()> action) {
    auto timer = std::make_shared<Timer>(std::move(queue), interval, repeat, std::move(action));
    timer->arm();
    return timer;
}

Timer::Timer(std::shared_ptr<DispatchQueue> queue, Clock::Duration interval, TimerRepeat repeat,
             std::function<void()> action)
    : queue_(std::move(queue)), interval_(interval), repeat_(repeat), action_(std::move(action)),
      clock_(&Clock::current()) {}

void Timer::arm() {
    // Like a run loop's timer, a scheduled timer keeps itself alive until it fires for the
    // last time or is invalidated.
    std::shared_ptr<Timer> self = shared_from_this();
    std::lock_guard lock(mutex_);
    pending_ = clock_->schedule(interval_, [self] { self->queue_->async([self] { self->fire(); }); });
}

void Timer::fire() {
    if (!valid_) {
        return;
    }
    if (repeat_ == TimerRepeat::Once) {
        valid_ = false;
    } else {
        arm();
    }
    action_();
}

void Timer::invalidate() {
    valid_ = false;
    std::lock_guard lock(mutex_);
    clock_->cancel(pending_);
}

}  // namespace harbormind
