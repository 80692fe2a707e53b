#include "daemon/DaemonJobs.h"

#include <thread>

namespace harbormind {

void DaemonJobs::State::end(std::uint32_t uid) {
    std::lock_guard lock(mutex);
    --running;
    if (uid != 0) {
        --others;
    }
    if (--perUid[uid] == 0) {
        perUid.erase(uid);
    }
}

DaemonJobs::Start DaemonJobs::start(std::uint32_t uid, std::function<void()> job) {
    {
        std::lock_guard lock(state_->mutex);
        int& mine = state_->perUid[uid];
        if (uid == 0 ? mine >= maxRunning : mine >= maxPerCaller) {
            if (mine == 0) {
                state_->perUid.erase(uid);
            }
            return Start::callerBusy;
        }
        if (uid != 0 && state_->others >= maxRunning) {
            if (mine == 0) {
                state_->perUid.erase(uid);
            }
            return Start::daemonBusy;
        }
        ++mine;
        ++state_->running;
        if (uid != 0) {
            ++state_->others;
        }
    }
    std::thread([state = state_, clock = &Clock::current(), uid, job = std::move(job)]() mutable {
        job();
        // What the job holds (the bus message it answered) goes before the job counts as done:
        // a server waiting for idle jobs closes its connection right after.
        job = nullptr;
        state->end(uid);
        clock->notifyAll();
    }).detach();
    return Start::started;
}

int DaemonJobs::running() const {
    std::lock_guard lock(state_->mutex);
    return state_->running;
}

bool DaemonJobs::waitIdle(Clock::Duration limit) const {
    Clock& clock = Clock::current();
    return clock.waitUntil([state = state_] {
        std::lock_guard lock(state->mutex);
        return state->running == 0;
    }, clock.now() + limit);
}

}  // namespace harbormind
