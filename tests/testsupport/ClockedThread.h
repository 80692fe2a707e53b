#pragma once

#include <functional>
#include <memory>
#include <thread>

#include "support/QueuedTask.h"

namespace harbormind::test {

// A thread of the test's own that the current clock counts as work, as it counts a queue's
// task: a virtual clock stands still while it runs, so a wait on the main queue waits for what
// it posts instead of passing its time limit at once. Joined when destroyed.
class ClockedThread {
public:
    explicit ClockedThread(std::function<void()> work)
        : thread_([task = std::make_shared<QueuedTask>(std::move(work))] { task->run(); }) {}
    ~ClockedThread() { join(); }
    ClockedThread(const ClockedThread&) = delete;
    ClockedThread& operator=(const ClockedThread&) = delete;

    void join() {
        if (thread_.joinable()) {
            thread_.join();
        }
    }

private:
    std::thread thread_;
};

}  // namespace harbormind::test
