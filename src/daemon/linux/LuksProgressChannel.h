#pragma once

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>

#include "support/Clock.h"
#include "xpc/DMBitLockerAppProtocol.h"

namespace harbormind {

// Carries an encryption job's progress to the caller's callbacks. A callback waits for
// the caller's answer, which is how the caller pauses (it holds the answer) and cancels
// (it answers 1): so at most one message is out at a time, sent from a thread of its own,
// and running reports that come meanwhile are dropped. The job reads how long the caller
// has held the answer, to stop the work safely during a pause. Only 0 means "go on": a
// cancel, any other answer and no answer at all (a caller that is gone) mean stop.
class LuksProgressChannel {
public:
    static constexpr std::int64_t goOn = 0;
    static constexpr std::int64_t cancelAnswer = 1;

    explicit LuksProgressChannel(std::shared_ptr<DMBitLockerAppProtocol> callbacks);
    ~LuksProgressChannel();

    // Sends a running report unless one is still out.
    void offer(std::int64_t total, std::int64_t current);
    // Sends a message and waits for its answer (after any message still out).
    std::int64_t ask(std::int64_t status, std::int64_t total, std::int64_t current, std::int64_t error);
    // Waits for the message still out, if any, and answers its answer (0 when none).
    std::int64_t awaitAnswer();
    // A message has been out for longer than `grace`.
    bool heldLongerThan(Clock::Duration grace) const;
    // Some answer was other than "go on".
    bool stopAsked() const;

private:
    struct State;
    void send(std::int64_t status, std::int64_t total, std::int64_t current, std::int64_t error);

    std::shared_ptr<DMBitLockerAppProtocol> callbacks_;
    std::shared_ptr<State> state_;
};

}  // namespace harbormind
