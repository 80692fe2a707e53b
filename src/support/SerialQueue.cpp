#include "support/SerialQueue.h"

namespace harbormind {

std::shared_ptr<SerialQueue> SerialQueue::create(std::string label) {
    return std::make_shared<SerialQueue>(std::move(label));
}

SerialQueue::SerialQueue(std::string label) : label_(std::move(label)), state_(std::make_shared<State>()) {
    thread_ = std::thread([state = state_] { loop(state); });
    threadId_ = thread_.get_id();
}

SerialQueue::~SerialQueue() {
    {
        std::lock_guard lock(state_->mutex);
        state_->stopping = true;
    }
    state_->available.notify_all();
    if (threadId_ == std::this_thread::get_id()) {
        thread_.detach();  // the thread keeps the state alive and ends after the current task
    } else {
        thread_.join();
    }
}

void SerialQueue::async(std::function<void()> work) {
    {
        std::lock_guard lock(state_->mutex);
        state_->tasks.emplace_back(std::move(work));
        if (!state_->running && !state_->accounted) {
            state_->accountedClock = &Clock::current();
            state_->accountedClock->workQueued();
            state_->accounted = true;
        }
    }
    state_->available.notify_one();
}

bool SerialQueue::isCurrent() const {
    return threadId_ == std::this_thread::get_id();
}

void SerialQueue::loop(const std::shared_ptr<State>& state) {
    std::unique_lock lock(state->mutex);
    for (;;) {
        state->available.wait(lock, [&state] { return state->stopping || !state->tasks.empty(); });
        if (state->tasks.empty()) {
            return;  // stopping, and every queued task has run
        }
        std::function<void()> work = std::move(state->tasks.front());
        state->tasks.pop_front();
        Clock* clock = state->accounted ? state->accountedClock : &Clock::current();
        if (!state->accounted) {
            clock->workQueued();
        }
        state->accounted = false;
        state->running = true;
        lock.unlock();
        clock->workStarted();
        work();
        work = nullptr;
        lock.lock();
        state->running = false;
        // The next task becomes runnable before this one is finished, so time cannot slip
        // between the two.
        if (!state->tasks.empty()) {
            state->accountedClock = &Clock::current();
            state->accountedClock->workQueued();
            state->accounted = true;
        }
        lock.unlock();
        clock->workFinished();
        lock.lock();
    }
}

}  // namespace harbormind
