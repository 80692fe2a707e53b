#include "support/MainQueue.h"

#include <iterator>

namespace harbormind {

MainQueue::MainQueue() : thread_(std::this_thread::get_id()) {}

void MainQueue::async(std::function<void()> work) {
    // The task is accounted with the clock before the queue's lock is taken: a thread waiting
    // through the clock reads the queue while holding the clock's lock, so taking the two
    // locks in the other order here could deadlock.
    QueuedTask task(std::move(work));
    std::function<void()> wake;
    {
        std::lock_guard lock(mutex_);
        tasks_.push_back(std::move(task));
        wake = wakeHandler_;
    }
    Clock::current().notifyAll();
    if (wake) {
        wake();
    }
}

bool MainQueue::isCurrent() const {
    return thread_.load() == std::this_thread::get_id();
}

void MainQueue::adoptCurrentThread() {
    thread_ = std::this_thread::get_id();
}

void MainQueue::setWakeHandler(std::function<void()> handler) {
    std::lock_guard lock(mutex_);
    wakeHandler_ = std::move(handler);
}

bool MainQueue::hasTasks() {
    std::lock_guard lock(mutex_);
    return !tasks_.empty();
}

int MainQueue::drain() {
    std::deque<QueuedTask> batch;
    {
        std::lock_guard lock(mutex_);
        batch.swap(tasks_);
    }
    int count = 0;
    for (auto& task : batch) {
        task.run();
        ++count;
    }
    return count;
}

bool MainQueue::drainFor(Clock::Duration turn) {
    Clock& clock = Clock::current();
    const Clock::TimePoint end = clock.now() + turn;
    std::deque<QueuedTask> batch;
    {
        std::lock_guard lock(mutex_);
        batch.swap(tasks_);
    }
    while (!batch.empty()) {
        QueuedTask task = std::move(batch.front());
        batch.pop_front();
        task.run();
        if (!batch.empty() && clock.now() >= end) {
            // What was posted while these ran comes after them.
            std::lock_guard lock(mutex_);
            tasks_.insert(tasks_.begin(), std::make_move_iterator(batch.begin()), std::make_move_iterator(batch.end()));
            return true;
        }
    }
    return hasTasks();
}

bool MainQueue::runUntil(const std::function<bool()>& done, std::optional<Clock::Duration> limit) {
    Clock& clock = Clock::current();
    std::optional<Clock::TimePoint> deadline;
    if (limit) {
        deadline = clock.now() + *limit;
    }
    for (;;) {
        drain();
        if (done()) {
            return true;
        }
        bool woke = clock.waitUntil([this, &done] { return hasTasks() || done(); }, deadline);
        if (!woke && !hasTasks()) {
            return done();
        }
    }
}

void MainQueue::run() {
    stopping_ = false;
    runUntil([this] { return stopping_.load(); });
}

void MainQueue::stop() {
    stopping_ = true;
    Clock::current().notifyAll();
}

}  // namespace harbormind
