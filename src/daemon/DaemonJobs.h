#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>

#include "support/Clock.h"

namespace harbormind {

// Runs each call on a thread of its own, so a long job never holds up another caller. Calls
// are counted per calling uid: one user has at most `maxPerCaller` at once (waiting for a
// password prompt or running), and all users but root together at most `maxRunning`, so no
// user's calls, however many or however long they wait, take the places of another's; root
// has `maxRunning` places of its own. A call past its limit is refused rather than queued.
class DaemonJobs {
public:
    static constexpr int maxRunning = 64;
    static constexpr int maxPerCaller = 6;

    enum class Start { started, callerBusy, daemonBusy };

    // `job` runs only when started.
    Start start(std::uint32_t uid, std::function<void()> job);
    int running() const;
    // Waits until no job runs, at most `limit`; true when none does.
    bool waitIdle(Clock::Duration limit) const;

private:
    // Shared with the job threads, which may outlive a wait that gave up.
    struct State {
        mutable std::mutex mutex;
        int running = 0;
        int others = 0;  // jobs of every uid but root's
        std::map<std::uint32_t, int> perUid;
        void end(std::uint32_t uid);
    };
    std::shared_ptr<State> state_ = std::make_shared<State>();
};

}  // namespace harbormind
