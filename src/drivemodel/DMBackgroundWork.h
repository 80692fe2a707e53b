#pragma once

#include <functional>
#include <memory>
#include <mutex>

#include "support/Clock.h"
#include "support/DispatchQueue.h"

namespace harbormind {

// The background tasks one owner starts (classifying a drive, waiting for a mount point),
// counted so that the owner can stop them and wait until none is running. Without this, a
// short-lived program ends (and a test sets up its next platform) while such a task still
// reads the platform, the daemon transport or the command runner being torn down.
class DMBackgroundWork {
public:
    // Runs `task` on `queue` unless stopped; the task is counted until it returns.
    void run(DispatchQueue& queue, std::function<void()> task);
    // True once stop() was called: long tasks check it and end early.
    bool isStopping() const;
    // Waits `duration` on the clock, or less when stop() is called meanwhile; false then.
    bool pause(Clock::Duration duration) const;
    // Refuses new tasks and waits, through the clock and at most `limit`, until every task
    // that started has returned. True when none is left.
    bool stop(Clock::Duration limit);

private:
    struct State {
        mutable std::mutex mutex;
        int running = 0;
        bool stopping = false;
    };
    std::shared_ptr<State> state_ = std::make_shared<State>();
};

}  // namespace harbormind
