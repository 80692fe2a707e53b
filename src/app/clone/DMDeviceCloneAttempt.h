#pragma once

#include <mutex>

namespace harbormind {

// One clone the user asked for, from the moment its progress sheet opens: the steps before
// the copy (unmounting, the pair check) run in the background and ask it before each step
// whether the user has cancelled, and the clone request is sent only if not. Thread-safe.
class DMDeviceCloneAttempt {
public:
    // The user cancelled. True when the clone request has gone out already, so the daemon
    // must be told to stop; otherwise nothing will be sent.
    bool cancel() {
        std::lock_guard lock(mutex_);
        cancelled_ = true;
        return requested_;
    }
    bool isCancelled() const {
        std::lock_guard lock(mutex_);
        return cancelled_;
    }
    // Just before the clone request: false once cancelled (and then it is not sent).
    bool beginRequest() {
        std::lock_guard lock(mutex_);
        requested_ = !cancelled_;
        return requested_;
    }
    bool isRequested() const {
        std::lock_guard lock(mutex_);
        return requested_;
    }

private:
    mutable std::mutex mutex_;
    bool cancelled_ = false;
    bool requested_ = false;
};

}  // namespace harbormind
