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
    const std::string& label() const { return label_; }

    explicit SerialQueue(std::string label);

private:
    void loop();

    std::string label_;
    std::mutex mutex_;
    std::condition_variable available_;
    std::deque<std::function<void()>> tasks_;
    bool stopping_ = false;
    bool running_ = false;
    // One unit of pending work is accounted with `accountedClock_` while a task is waiting
    // to start and none is running.
    bool accounted_ = false;
    Clock* accountedClock_ = nullptr;
    std::thread thread_;
};

}  // namespace harbormind
