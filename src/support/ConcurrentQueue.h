#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>

#include "support/DispatchQueue.h"
#include "support/QueuedTask.h"

namespace harbormind {

// Runs tasks at the same time on a pool that grows while every worker is busy, since tasks
// may block for long (a mount wait polls for two minutes).
class ConcurrentQueue final : public DispatchQueue {
public:
    explicit ConcurrentQueue(int maximumThreads);

    void async(std::function<void()> work) override;
    bool isCurrent() const override;

private:
    void workerLoop();

    const int maximumThreads_;
    std::mutex mutex_;
    std::condition_variable available_;
    std::deque<QueuedTask> tasks_;
    int threads_ = 0;
    int idle_ = 0;
};

}  // namespace harbormind
