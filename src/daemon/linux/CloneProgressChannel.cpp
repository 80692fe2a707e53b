#include "daemon/linux/CloneProgressChannel.h"

#include <deque>
#include <mutex>
#include <optional>

namespace harbormind {

struct CloneProgressChannel::State {
    std::shared_ptr<DMDeviceCloneAppProtocol> callbacks;
    mutable std::mutex mutex;
    bool out = false;
    bool cancelled = false;
    std::optional<clone::CloneProgress> running;  // the newest report not yet sent
    std::deque<clone::CloneProgress> last;        // the clone's end and last report, in order
};

CloneProgressChannel::CloneProgressChannel(std::shared_ptr<DMDeviceCloneAppProtocol> callbacks)
    : state_(std::make_shared<State>()) {
    state_->callbacks = std::move(callbacks);
}

void CloneProgressChannel::offer(const clone::CloneProgress& progress) {
    {
        std::lock_guard lock(state_->mutex);
        if (progress.status == DMProgressStatus::running) {
            state_->running = progress;
        } else {
            state_->running.reset();  // stale once the clone has ended
            state_->last.push_back(progress);
        }
    }
    pump(state_);
}

// Sends what waits, one report at a time; the answer to a report sends the next.
void CloneProgressChannel::pump(const std::shared_ptr<State>& state) {
    clone::CloneProgress next;
    {
        std::lock_guard lock(state->mutex);
        if (state->out || !state->callbacks) {
            return;
        }
        if (!state->last.empty()) {
            next = state->last.front();
            state->last.pop_front();
        } else if (state->running) {
            next = *state->running;
            state->running.reset();
        } else {
            return;
        }
        state->out = true;
    }
    if (next.status != DMProgressStatus::running) {
        state->callbacks->cloneEndedWithUnreadableBytes(static_cast<std::int64_t>(next.unreadableBytes),
                                                         next.reason);
    }
    state->callbacks->updateProgressWithStatus(
        static_cast<std::int64_t>(next.status), static_cast<std::int64_t>(next.total),
        static_cast<std::int64_t>(next.current), static_cast<std::int64_t>(next.error),
        [state](std::int64_t answer) {
            {
                std::lock_guard lock(state->mutex);
                state->out = false;
                state->cancelled = state->cancelled || answer != 0;
            }
            pump(state);
        });
}

bool CloneProgressChannel::cancelled() const {
    std::lock_guard lock(state_->mutex);
    return state_->cancelled;
}

bool CloneProgressChannel::idle() const {
    std::lock_guard lock(state_->mutex);
    return !state_->out && state_->last.empty() && !state_->running;
}

}  // namespace harbormind
