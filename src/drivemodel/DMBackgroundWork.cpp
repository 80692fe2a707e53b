#include "drivemodel/DMBackgroundWork.h"

namespace harbormind {

void DMBackgroundWork::run(DispatchQueue& queue, std::function<void()> task) {
    {
        std::lock_guard lock(state_->mutex);
        if (state_->stopping) {
            return;
        }
        ++state_->running;
    }
    Clock* clock = &Clock::current();
    queue.async([state = state_, clock, task = std::move(task)] {
        bool stopping = false;
        {
            std::lock_guard lock(state->mutex);
            stopping = state->stopping;
        }
        if (!stopping) {
            task();
        }
        {
            std::lock_guard lock(state->mutex);
            --state->running;
        }
        clock->notifyAll();
    });
}

bool DMBackgroundWork::isStopping() const {
    std::lock_guard lock(state_->mutex);
    return state_->stopping;
}

bool DMBackgroundWork::pause(Clock::Duration duration) const {
    Clock& clock = Clock::current();
    auto state = state_;
    return !clock.waitUntil(
        [state] {
            std::lock_guard lock(state->mutex);
            return state->stopping;
        },
        clock.now() + duration);
}

bool DMBackgroundWork::stop(Clock::Duration limit) {
    {
        std::lock_guard lock(state_->mutex);
        state_->stopping = true;
    }
    Clock& clock = Clock::current();
    clock.notifyAll();
    auto state = state_;
    return clock.waitUntil(
        [state] {
            std::lock_guard lock(state->mutex);
            return state->running == 0;
        },
        clock.now() + limit);
}

}  // namespace harbormind
