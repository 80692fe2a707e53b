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
        QueuedTask task = std::move(tasks_.front());
        tasks_.pop_front();
        lock.unlock();
        task.run();
        lock.lock();
    }
}

}  // namespace harbormind
