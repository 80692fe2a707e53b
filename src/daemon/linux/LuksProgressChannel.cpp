#include "daemon/linux/LuksProgressChannel.h"

#include <thread>

#include "xpc/DMProgressStatus.h"

namespace harbormind {

struct LuksProgressChannel::State {
    std::mutex mutex;
    std::condition_variable answered;
    bool out = false;
    Clock::TimePoint sentAt{};
    std::int64_t lastAnswer = 0;
    bool stopAsked = false;
};

LuksProgressChannel::LuksProgressChannel(std::shared_ptr<DMBitLockerAppProtocol> callbacks)
    : callbacks_(std::move(callbacks)), state_(std::make_shared<State>()) {}

LuksProgressChannel::~LuksProgressChannel() {
    // The sending thread holds its own references; a caller that never answers keeps only it.
}

void LuksProgressChannel::send(std::int64_t status, std::int64_t total, std::int64_t current, std::int64_t error) {
    state_->out = true;
    state_->sentAt = Clock::current().now();
    if (!callbacks_) {
        // Nobody to ask: nobody can say go on.
        state_->out = false;
        state_->lastAnswer = DMBitLockerAppProtocol::unanswered;
        state_->stopAsked = true;
        return;
    }
    std::thread([callbacks = callbacks_, state = state_, status, total, current, error] {
        callbacks->updateProgressWithStatus(status, total, current, error, [state](std::int64_t answer) {
            {
                std::lock_guard lock(state->mutex);
                state->out = false;
                state->lastAnswer = answer;
                state->stopAsked = state->stopAsked || answer != goOn;
            }
            state->answered.notify_all();
        });
    }).detach();
}

void LuksProgressChannel::offer(std::int64_t total, std::int64_t current) {
    std::lock_guard lock(state_->mutex);
    if (!state_->out) {
        send(static_cast<std::int64_t>(DMProgressStatus::running), total, current, 0);
    }
}

std::int64_t LuksProgressChannel::ask(std::int64_t status, std::int64_t total, std::int64_t current,
                                      std::int64_t error) {
    std::unique_lock lock(state_->mutex);
    state_->answered.wait(lock, [&] { return !state_->out; });
    send(status, total, current, error);
    state_->answered.wait(lock, [&] { return !state_->out; });
    return state_->lastAnswer;
}

std::int64_t LuksProgressChannel::awaitAnswer() {
    std::unique_lock lock(state_->mutex);
    state_->answered.wait(lock, [&] { return !state_->out; });
    return state_->lastAnswer;
}

bool LuksProgressChannel::heldLongerThan(Clock::Duration grace) const {
    std::lock_guard lock(state_->mutex);
    return state_->out && Clock::current().now() - state_->sentAt > grace;
}

bool LuksProgressChannel::stopAsked() const {
    std::lock_guard lock(state_->mutex);
    return state_->stopAsked;
}

}  // namespace harbormind
