#pragma once

#include <functional>

#include "support/Clock.h"

namespace harbormind {

// A task with the clock it was accounted on, so it is finished on the same clock even if a
// test installs another clock meanwhile.
class QueuedTask {
public:
    explicit QueuedTask(std::function<void()> work);
    QueuedTask(QueuedTask&&) noexcept = default;
    QueuedTask& operator=(QueuedTask&&) noexcept = default;
    QueuedTask(const QueuedTask&) = delete;
    QueuedTask& operator=(const QueuedTask&) = delete;
    ~QueuedTask() = default;

    void run();

private:
    std::function<void()> work_;
    Clock* clock_;
};

}  // namespace harbormind
