#pragma once

#include <atomic>
#include <functional>

namespace harbormind {

// Runs each call on a thread of its own, so a long job never holds up another caller.
// Past `maxRunning` jobs at once a call is refused rather than queued without end.
class DaemonJobs {
public:
    static constexpr int maxRunning = 64;

    // False when too many jobs run already (`job` is then not run).
    bool start(std::function<void()> job);
    int running() const { return running_.load(); }

private:
    std::atomic<int> running_{0};
};

}  // namespace harbormind
