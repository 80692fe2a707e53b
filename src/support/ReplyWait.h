#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <utility>

#include "support/Clock.h"
#include "support/Log.h"

namespace harbormind {

// Waits for one reply with a pre-filled default answer and a time limit, so a caller is never
// blocked forever by a peer that does not answer. A reply arriving after the limit is dropped.
template <typename T>
class ReplyWait {
public:
    explicit ReplyWait(T defaultAnswer) : state_(std::make_shared<State>(std::move(defaultAnswer))) {}

    // The callback to hand to whoever will answer; it may be called on any thread, once.
    std::function<void(T)> replyHandler() const {
        std::shared_ptr<State> state = state_;
        Clock* clock = &Clock::current();
        return [state, clock](T value) {
            {
                std::lock_guard lock(state->mutex);
                if (state->answered) {
                    return;
                }
                state->answer = std::move(value);
                state->answered = true;
            }
            clock->notifyAll();
        };
    }

    // Releases a waiting caller with the default answer (a failed connection, for example).
    void fail() const {
        {
            std::lock_guard lock(state_->mutex);
            state_->answered = true;
        }
        Clock::current().notifyAll();
    }

    T wait(Clock::Duration limit, const std::string& what) const {
        Clock& clock = Clock::current();
        bool answered = clock.waitUntil(
            [this] {
                std::lock_guard lock(state_->mutex);
                return state_->answered;
            },
            clock.now() + limit);
        std::lock_guard lock(state_->mutex);
        if (!answered) {
            state_->answered = true;
            Log::warning("No reply to " + what + " within " + std::to_string(toSeconds(limit)) +
                         " s; using the default answer");
        }
        return state_->answer;
    }

private:
    struct State {
        explicit State(T value) : answer(std::move(value)) {}
        std::mutex mutex;
        T answer;
        bool answered = false;
    };
    std::shared_ptr<State> state_;
};

}  // namespace harbormind
