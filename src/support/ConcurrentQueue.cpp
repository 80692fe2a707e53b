#include "support/ConcurrentQueue.h"

#include <thread>

namespace harbormind {
namespace {
thread_local const ConcurrentQueue* currentPool = nullptr;
}

ConcurrentQueue::ConcurrentQueue(int maximumThreads) : maximumThreads_(maximumThreads) {}

void ConcurrentQueue::async(std::function<void()> work) {
    bool spawn = false;
    {
        std::lock_guard lock(mutex_);
        tasks_.emplace_back(std::move(work));
        if (idle_ < static_cast<int>(tasks_.size()) && threads_ < maximumThreads_) {
            ++threads_;
            spawn = true;
        }
    }
    if (spawn) {
        // Workers live as long as the process; the pool itself is never destroyed.
        std::thread([this] { workerLoop(); }).detach();
    }
    available_.notify_one();
}

bool ConcurrentQueue::isCurrent() const {
    return currentPool == this;
}

void ConcurrentQueue::workerLoop() {
    currentPool = this;
    std::unique_lock lock(mutex_);
    for (;;) {
        ++idle_;
        available_.wait(lock, [this] { return !tasks_.empty(); });
        --idle_;
        QueuedTask task = std::move(tasks_.front());
        tasks_.pop_front();
        lock.unlock();
        task.run();
        lock.lock();
    }
}

}  // namespace harbormind
