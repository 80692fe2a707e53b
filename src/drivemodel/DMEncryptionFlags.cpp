#include "drivemodel/DMEncryptionFlags.h"

#include "support/Clock.h"

namespace harbormind {
namespace {

void sleepOneSecond() {
    Clock::current().sleepFor(seconds(1));
}

}  // namespace

void DMEncryptionFlags::start() {
    hasStarted_ = true;
    hangup_ = false;
}

void DMEncryptionFlags::pause() {
    hangup_ = true;
}

void DMEncryptionFlags::cancel() {
    isContinued_ = false;
}

std::uint64_t DMEncryptionFlags::answerAfterWaiting(DMProgressStatus status, std::uint64_t answer) {
    if (status == DMProgressStatus::initialized) {
        isReady_ = true;
    }
    while (isReady_ && !hasStarted_) {
        sleepOneSecond();
        if (!isContinued_) {
            return cancelledAnswer;
        }
    }
    while (hangup_) {
        sleepOneSecond();
        if (!isContinued_) {
            return cancelledAnswer;
        }
    }
    return answer;
}

void DMEncryptionFlags::waitForStart() {
    while (!hasStarted_ && isContinued_) {
        sleepOneSecond();
    }
}

void DMEncryptionFlags::waitWhilePaused() {
    while (hangup_ && isContinued_) {
        sleepOneSecond();
    }
}

}  // namespace harbormind
