#include "app/drives/DMEventMonitor.h"

#include "app/drives/DMEventMonitorDelegate.h"
#include "platform/SleepWakeNotifications.h"
#include "support/Dispatch.h"

namespace harbormind {

DMEventMonitor::DMEventMonitor(SleepWakeNotifications* notifications)
    : notifications_(notifications), alive_(std::make_shared<bool>(true)) {
    if (notifications_ == nullptr) {
        return;
    }
    std::weak_ptr<bool> alive = alive_;
    observing_ = notifications_->observe([this, alive](bool isSleep) {
        Dispatch::main().async([this, alive, isSleep] {
            if (alive.expired()) {
                return;
            }
            if (isSleep) {
                onSleepWithNotification();
            } else {
                onWakeUpWithNotification();
            }
        });
    });
}

DMEventMonitor::~DMEventMonitor() {
    alive_.reset();
    if (notifications_ != nullptr && observing_) {
        notifications_->stopObserving();
    }
}

void DMEventMonitor::onSleepWithNotification() {
    SleepWakeNotifications* notifications = notifications_;
    std::weak_ptr<bool> alive = alive_;
    auto letSleep = [notifications, alive] {
        if (!alive.expired() && notifications != nullptr) {
            notifications->sleepWorkDone();
        }
    };
    if (auto delegate = delegate_.lock()) {
        delegate->powerStateChanged(true, letSleep);
    } else {
        letSleep();
    }
}

void DMEventMonitor::onWakeUpWithNotification() {
    if (auto delegate = delegate_.lock()) {
        delegate->powerStateChanged(false, [] {});
    }
}

}  // namespace harbormind
