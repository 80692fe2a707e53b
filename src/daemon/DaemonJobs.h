#pragma once

#include <atomic>
#include <functional>
#include <memory>

#include "support/Clock.h"

namespace harbormind {

// Runs each call on a thread of its own, so a long job never holds up another caller.
// Past `maxRunning` jobs at once a call is refused rather than queued without end.
class DaemonJobs {
public:
    static constexpr int maxRunning = 64;

    // False when too many jobs run already (`job` is then not run).
    bool start(std::function<void()> job);
    int running() const { return state_->running.load(); }
    // Waits until no job runs, at most `limit`; true when none does.
    bool waitIdle(Clock::Duration limit) const;

private:
    // Shared with the job threads, which may outlive a wait that gave up.
    struct State {
        std::atomic<int> running{0};
    };
    std::shared_ptr<State> state_ = std::make_shared<State>();
};

}  // namespace harbormind
