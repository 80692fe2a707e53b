#pragma once

#include <functional>

namespace harbormind {

// The machine going to sleep and waking up, as the desktop's session manager reports it.
// While observed, the platform may hold sleep back for a short while so that the work started
// on "will sleep" finishes first; `sleepWorkDone` lets the machine go.
class SleepWakeNotifications {
public:
    // True for "will sleep", false for "did wake". Called on any thread.
    using Handler = std::function<void(bool isSleep)>;

    virtual ~SleepWakeNotifications() = default;

    // Starts observing. False when the platform cannot report sleep and wake (nothing is
    // then reported and nothing held back).
    virtual bool observe(Handler handler) = 0;
    virtual void stopObserving() = 0;
    // The work after "will sleep" is finished (or given up): sleep may proceed.
    virtual void sleepWorkDone() = 0;
    // Whether sleep is being held back for this process right now.
    virtual bool holdsSleep() const = 0;
};

}  // namespace harbormind
