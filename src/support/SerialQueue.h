#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

#include "support/DispatchQueue.h"
#include "support/QueuedTask.h"

namespace harbormind {

// Runs its tasks one at a time, in order, on a thread of its own.
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
    std::deque<QueuedTask> tasks_;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace harbormind
