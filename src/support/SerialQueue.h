#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

#include "support/DispatchQueue.h"

namespace harbormind {

// Runs its tasks one at a time, in order, on a thread of its own. For the clock, only the
// task that can run next counts as pending work: tasks queued behind a running task that
// waits through the clock cannot run, so they must not stop time (the waiter's time limit
// would never pass).
class SerialQueue final : public DispatchQueue {
public:
    static std::shared_ptr<SerialQueue> create(std::string label);
    ~SerialQueue() override;

    void async(std::function<void()> work) override;
    bool isCurrent() const override;
    // Ends the queue's thread once the task running now and those already queued have run,
    // and waits for it (from the queue's own thread it only asks it to end). Tasks queued
    // afterwards run at once on the thread that queues them, still one at a time, so a sync()
    // that races with the stop never waits for a thread that is gone.
    void stop();
    const std::string& label() const { return label_; }

    explicit SerialQueue(std::string label);

private:
    // Shared with the queue's thread, so a task that drops the last reference to the queue
    // (destroying it on its own thread) leaves the thread with valid state to finish on.
    struct State {
        std::mutex mutex;
        std::condition_variable available;
        std::deque<std::function<void()>> tasks;
        bool stopping = false;
        bool ended = false;  // the thread has left its loop: tasks run on their caller's thread
        bool running = false;
        // One unit of pending work is accounted with `accountedClock` while a task is
        // waiting to start and none is running.
        bool accounted = false;
        Clock* accountedClock = nullptr;
    };

    static void loop(const std::shared_ptr<State>& state);
    void askToEnd();
    void runAfterEnd(std::function<void()> work);

    std::string label_;
    std::shared_ptr<State> state_;
    std::thread thread_;
    std::thread::id threadId_;
    std::mutex joinMutex_;
    // Serialises what runs on callers' threads after the end; recursive, since such a task
    // may sync() onto the queue again.
    std::recursive_mutex endedMutex_;
};

}  // namespace harbormind
