#include "support/SerialQueue.h"

namespace harbormind {

std::shared_ptr<SerialQueue> SerialQueue::create(std::string label) {
    return std::make_shared<SerialQueue>(std::move(label));
}

SerialQueue::SerialQueue(std::string label) : label_(std::move(label)) {
    thread_ = std::thread([this] { loop(); });
}

SerialQueue::~SerialQueue() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    available_.notify_all();
    if (thread_.get_id() == std::this_thread::get_id()) {
        thread_.detach();
    } else {
        thread_.join();
    }
}

void SerialQueue::async(std::function<void()> work) {
    {
        std::lock_guard lock(mutex_);
        tasks_.emplace_back(std::move(work));
        if (!running_ && !accounted_) {
            accountedClock_ = &Clock::current();
            accountedClock_->workQueued();
            accounted_ = true;
        }
    }
    available_.notify_one();
}

bool SerialQueue::isCurrent() const {
    return thread_.get_id() == std::this_thread::get_id();
}

void SerialQueue::loop() {
    std::unique_lock lock(mutex_);
    for (;;) {
        available_.wait(lock, [this] { return stopping_ || !tasks_.empty(); });
        if (tasks_.empty()) {
            return;  // stopping, and every queued task has run
        }
        std::function<void()> work = std::move(tasks_.front());
        tasks_.pop_front();
        Clock* clock = accounted_ ? accountedClock_ : &Clock::current();
        if (!accounted_) {
            clock->workQueued();
        }
        accounted_ = false;
        running_ = true;
        lock.unlock();
        clock->workStarted();
        work();
        work = nullptr;
        lock.lock();
        running_ = false;
        // The next task becomes runnable before this one is finished, so time cannot slip
        // between the two.
        if (!tasks_.empty()) {
            accountedClock_ = &Clock::current();
            accountedClock_->workQueued();
            accounted_ = true;
        }
        lock.unlock();
        clock->workFinished();
        lock.lock();
    }
}

}  // namespace harbormind
