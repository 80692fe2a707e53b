#pragma once

#include <atomic>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>

#include "support/DispatchQueue.h"
#include "support/QueuedTask.h"

namespace harbormind {

// The queue of the main thread. The CLI, daemon, agent and tests drive it with run() or
// runUntil(); the GUI installs a wake handler that posts to its event loop, which then
// calls drain().
class MainQueue final : public DispatchQueue {
public:
    MainQueue();

    void async(std::function<void()> work) override;
    bool isCurrent() const override;

    // Marks the calling thread as the main thread.
    void adoptCurrentThread();
    // Called (on any thread) whenever work is posted; an event loop uses it to wake up.
    void setWakeHandler(std::function<void()> handler);

    // Runs every task queued so far; returns how many ran.
    int drain();
    // Runs the tasks queued so far until `turn` has passed on the clock, leaving the rest
    // queued first; answers whether tasks are left. An event loop that drains this way stays
    // free to draw between bursts of work.
    bool drainFor(Clock::Duration turn);
    // Runs tasks until `done()` holds (true) or the time limit passes on the clock (false).
    bool runUntil(const std::function<bool()>& done, std::optional<Clock::Duration> limit = std::nullopt);
    // Runs tasks until stop() is called.
    void run();
    void stop();

private:
    bool hasTasks();

    std::mutex mutex_;
    std::deque<QueuedTask> tasks_;
    std::function<void()> wakeHandler_;
    std::atomic<std::thread::id> thread_;
    std::atomic<bool> stopping_{false};
};

}  // namespace harbormind
