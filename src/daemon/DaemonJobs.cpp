#include "daemon/DaemonJobs.h"

#include <thread>

namespace harbormind {

bool DaemonJobs::start(std::function<void()> job) {
    if (state_->running.fetch_add(1) >= maxRunning) {
        state_->running.fetch_sub(1);
        return false;
    }
    std::thread([state = state_, clock = &Clock::current(), job = std::move(job)]() mutable {
        job();
        // What the job holds (the bus message it answered) goes before the job counts as done:
        // a server waiting for idle jobs closes its connection right after.
        job = nullptr;
        state->running.fetch_sub(1);
        clock->notifyAll();
    }).detach();
    return true;
}

bool DaemonJobs::waitIdle(Clock::Duration limit) const {
    Clock& clock = Clock::current();
    return clock.waitUntil([state = state_] { return state->running.load() == 0; }, clock.now() + limit);
}

}  // namespace harbormind
