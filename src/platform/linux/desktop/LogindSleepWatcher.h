#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "platform/SleepWakeNotifications.h"

namespace sdbus {
class IConnection;
class IProxy;
class UnixFd;
}  // namespace sdbus

namespace harbormind {

// Sleep and wake from systemd-logind on the system bus: its PrepareForSleep signal, and a
// "delay" inhibitor lock held while observing so that the work started on "will sleep" gets
// to finish (logind waits for the lock, at most its InhibitDelayMaxSec). The lock is let go
// when that work is done and taken again on wake. Without logind nothing is reported.
class LogindSleepWatcher final : public SleepWakeNotifications {
public:
    LogindSleepWatcher();
    ~LogindSleepWatcher() override;

    bool observe(Handler handler) override;
    void stopObserving() override;
    void sleepWorkDone() override;
    bool holdsSleep() const override;

    static constexpr const char* who = "Kestrane Harbormind";
    static constexpr const char* why = "Unmounting external drives and locking encrypted drives before sleep";

private:
    void prepareForSleep(bool start);
    // Asks logind for a delay lock through `proxy`; false (and logged) when it refuses.
    bool takeLock(sdbus::IProxy& proxy);
    void releaseLock();

    Handler handler_;
    std::unique_ptr<sdbus::IConnection> connection_;
    std::unique_ptr<sdbus::IProxy> proxy_;
    mutable std::mutex mutex_;
    std::unique_ptr<sdbus::UnixFd> lock_;
};

}  // namespace harbormind
