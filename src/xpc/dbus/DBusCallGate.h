#pragma once

#include <deque>
#include <functional>
#include <mutex>

namespace harbormind {

// Holds this process's calls to the daemon to a few at a time. The daemon refuses a user's
// calls past its places for that user (it gives each user a handful, so one user's waiting
// password prompts never take another's), and the window asks many small questions at once
// when many disks appear: sent all together, most would be refused and answered with a
// default. Past `places`, a call waits here, in order, until an earlier one has its reply.
class DBusCallGate {
public:
    explicit DBusCallGate(int places) : places_(places) {}
    DBusCallGate(const DBusCallGate&) = delete;
    DBusCallGate& operator=(const DBusCallGate&) = delete;

    // The gate of every call this process makes to the daemon. It leaves places of the daemon's
    // per-user share to the same user's other programs (the command line, the USB agent).
    static DBusCallGate& daemonCalls();

    // Runs `send` now when a place is free, otherwise once one is; each `send` that ran is
    // matched by one `leave` when its call has ended, however it ended.
    void enter(std::function<void()> send);
    void leave();

    int waiting() const;

private:
    const int places_;
    mutable std::mutex mutex_;
    int taken_ = 0;
    std::deque<std::function<void()>> waiting_;
};

}  // namespace harbormind
