#pragma once

#include <sdbus-c++/sdbus-c++.h>

#include <condition_variable>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <string>
#include <unistd.h>
#include <vector>

#include "platform/SleepWakeNotifications.h"
#include "platform/linux/desktop/LogindSleepWatcher.h"

namespace harbormind::test {

// systemd-logind on a private system bus: hands out delay locks (one end of a pipe, as logind
// does with a FIFO) and emits PrepareForSleep. A lock is held while any copy of its end is open.
class FakeLogind {
public:
    FakeLogind() {
        connection_ = sdbus::createSystemBusConnection();
        object_ = sdbus::createObject(*connection_, "/org/freedesktop/login1");
        object_->registerMethod("org.freedesktop.login1.Manager", "Inhibit", "ssss", "h",
                                [this](sdbus::MethodCall call) { inhibit(call); });
        object_->registerSignal("org.freedesktop.login1.Manager", "PrepareForSleep", "b");
        object_->finishRegistration();
        connection_->requestName("org.freedesktop.login1");
        connection_->enterEventLoopAsync();
    }
    ~FakeLogind() {
        connection_->leaveEventLoop();
        for (int fd : readEnds_) {
            ::close(fd);
        }
    }

    void prepareForSleep(bool start) {
        object_->emitSignal("PrepareForSleep").onInterface("org.freedesktop.login1.Manager").withArguments(start);
    }
    int heldLocks() {
        std::lock_guard lock(mutex_);
        int held = 0;
        for (int fd : readEnds_) {
            pollfd entry{fd, POLLIN, 0};
            ::poll(&entry, 1, 0);
            held += (entry.revents & POLLHUP) == 0 ? 1 : 0;
        }
        return held;
    }
    std::vector<std::string> requests() {
        std::lock_guard lock(mutex_);
        return requests_;
    }

private:
    void inhibit(sdbus::MethodCall& call) {
        std::string what, who, why, mode;
        call >> what >> who >> why >> mode;
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC) != 0) {
            throw sdbus::Error("org.freedesktop.DBus.Error.Failed", "no pipe");
        }
        {
            std::lock_guard lock(mutex_);
            requests_.push_back(what + " " + mode + " " + who);
            readEnds_.push_back(ends[0]);
        }
        sdbus::UnixFd handed(ends[1]);
        ::close(ends[1]);
        auto reply = call.createReply();
        reply << handed;
        reply.send();
    }

    std::unique_ptr<sdbus::IConnection> connection_;
    std::unique_ptr<sdbus::IObject> object_;
    std::mutex mutex_;
    std::vector<int> readEnds_;
    std::vector<std::string> requests_;
};

// Passes the watcher's reports on and lets the test wait (bounded, in real time) for them,
// since they come from the bus thread.
class ObservedWatcher final : public SleepWakeNotifications {
public:
    bool observe(Handler handler) override {
        return watcher.observe([this, handler](bool isSleep) {
            handler(isSleep);
            std::lock_guard lock(mutex);
            reports.push_back(isSleep);
            changed.notify_all();
        });
    }
    void stopObserving() override { watcher.stopObserving(); }
    void sleepWorkDone() override { watcher.sleepWorkDone(); }
    bool holdsSleep() const override { return watcher.holdsSleep(); }
    bool waitForReports(std::size_t count) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(5), [&] { return reports.size() >= count; });
    }

    LogindSleepWatcher watcher;
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<bool> reports;
};

}  // namespace harbormind::test
