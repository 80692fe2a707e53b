#pragma once

#include <atomic>
#include <cstdint>

#include "xpc/DMProgressStatus.h"

namespace harbormind {

// The four flags every encryption job holds, and the rules by which a job waits for the
// user. The windows write the flags from the main thread; the job reads them from the
// daemon's callback thread or its own background queue. Every wait sleeps one second at a
// time on the clock, so a cancel is noticed within one second.
class DMEncryptionFlags {
public:
    // What a waiting progress callback answers after the user cancelled.
    static constexpr std::uint64_t cancelledAnswer = 1;

    bool hasStarted() const { return hasStarted_; }
    bool hangup() const { return hangup_; }
    bool isContinued() const { return isContinued_; }
    bool isReady() const { return isReady_; }
    void setReady() { isReady_ = true; }

    // The go-ahead, and the way out of a pause.
    void start();
    void pause();
    // Final: once cancelled a job never continues.
    void cancel();

    // The rule for a progress callback that has handed its message on: after `initialized`
    // the job is ready; while ready and not started, and then while paused, it sleeps one
    // second at a time and answers `cancelledAnswer` as soon as it finds itself cancelled
    // after a sleep. Otherwise it answers `answer`.
    std::uint64_t answerAfterWaiting(DMProgressStatus status, std::uint64_t answer);

    // The rule for a job that runs by itself: sleeps one second at a time until started or
    // cancelled.
    void waitForStart();
    // Sleeps one second at a time while paused and not cancelled.
    void waitWhilePaused();

private:
    std::atomic<bool> hasStarted_{false};
    std::atomic<bool> hangup_{false};
    std::atomic<bool> isContinued_{true};
    std::atomic<bool> isReady_{false};
};

}  // namespace harbormind
