#pragma once

#include <memory>

namespace harbormind {

class DMEventMonitorDelegate;
class SleepWakeNotifications;

// Follows the machine going to sleep and waking up and tells its delegate on the main queue.
// While it lives the platform holds sleep back until the delegate's sleep work is done.
class DMEventMonitor {
public:
    // `notifications` may be absent (a platform that cannot tell): then nothing is reported.
    explicit DMEventMonitor(SleepWakeNotifications* notifications);
    ~DMEventMonitor();
    DMEventMonitor(const DMEventMonitor&) = delete;
    DMEventMonitor& operator=(const DMEventMonitor&) = delete;

    void setDelegate(std::weak_ptr<DMEventMonitorDelegate> delegate) { delegate_ = std::move(delegate); }
    bool isObserving() const { return observing_; }

    void onSleepWithNotification();
    void onWakeUpWithNotification();

private:
    SleepWakeNotifications* notifications_;
    std::weak_ptr<DMEventMonitorDelegate> delegate_;
    std::shared_ptr<bool> alive_;
    bool observing_ = false;
};

}  // namespace harbormind
