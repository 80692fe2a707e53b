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
    if (threadId_ != std::this_thread::get_id()) {
        stop();
        return;
    }
    askToEnd();
    std::lock_guard lock(joinMutex_);
    if (thread_.joinable()) {
        thread_.detach();  // the thread keeps the state alive and ends after the current task
    }
}

void SerialQueue::askToEnd() {
    {
        std::lock_guard lock(state_->mutex);
        state_->stopping = true;
    }
    state_->available.notify_all();
}

void SerialQueue::stop() {
    askToEnd();
    if (threadId_ == std::this_thread::get_id()) {
        return;
    }
    std::lock_guard lock(joinMutex_);
    if (thread_.joinable()) {
        thread_.join();
    }
}

void SerialQueue::async(std::function<void()> work) {
    {
        std::unique_lock lock(state_->mutex);
        if (state_->ended) {
            lock.unlock();
            runAfterEnd(std::move(work));
            return;
        }
        state_->tasks.emplace_back(std::move(work));
        if (!state_->running && !state_->accounted) {
            state_->accountedClock = &Clock::current();
            state_->accountedClock->workQueued();
            state_->accounted = true;
        }
    }
    state_->available.notify_one();
}

void SerialQueue::runAfterEnd(std::function<void()> work) {
    std::lock_guard lock(endedMutex_);
    work();
}

bool SerialQueue::isCurrent() const {
    return threadId_ == std::this_thread::get_id();
}

void SerialQueue::loop(const std::shared_ptr<State>& state) {
    std::unique_lock lock(state->mutex);
    for (;;) {
        state->available.wait(lock, [&state] { return state->stopping || !state->tasks.empty(); });
        if (state->tasks.empty()) {
            state->ended = true;  // stopping, and every queued task has run
            return;
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
