#include "platform/linux/mounting/DaemonMountRequests.h"

#include <gtest/gtest.h>

#include <sdbus-c++/sdbus-c++.h>

#include <chrono>
#include <condition_variable>
#include <future>
#include <mutex>
#include <optional>
#include <utility>

#include "testsupport/PrivateBusTest.h"
#include "xpc/XPCServiceName.h"
#include "xpc/dbus/DBusNames.h"

// A user's mount requests go from this process straight to the daemon on the bus: a stand-in
// for the daemon's mount service on a private bus answers them, or takes them and goes away.
namespace harbormind {
namespace {

using Answer = MountRequests::Answer;

class FakeMountDaemon {
public:
    FakeMountDaemon() {
        const std::string service = XPCServiceName::mount;
        const std::string interface = DBusNames::interfaceName(service);
        connection_ = sdbus::createSystemBusConnection();
        object_ = sdbus::createObject(*connection_, DBusNames::objectPath(service));
        object_->registerMethod(interface, "mountVolume", "s", "xs",
                                [this](sdbus::MethodCall call) { take(call); });
        object_->registerMethod(interface, "unmountVolume", "sbb", "xs",
                                [this](sdbus::MethodCall call) { take(call); });
        object_->registerMethod(interface, "ejectDisk", "s", "xs",
                                [this](sdbus::MethodCall call) { take(call); });
        object_->finishRegistration();
        connection_->requestName(service);
        connection_->enterEventLoopAsync();
    }
    ~FakeMountDaemon() { goAway(); }

    // Leaves the bus with every call it holds unanswered.
    void goAway() {
        {
            std::lock_guard lock(mutex_);
            held_.reset();
        }
        if (connection_) {
            connection_->leaveEventLoop();
            object_.reset();
            connection_.reset();
        }
    }

    // The next call is held, not answered; true once one arrived.
    bool waitForHeldCall() {
        std::unique_lock lock(mutex_);
        return arrived_.wait_for(lock, std::chrono::seconds(5), [this] { return held_.has_value(); });
    }

    void answerWith(std::int64_t code, std::string message) {
        std::lock_guard lock(mutex_);
        code_ = code;
        message_ = std::move(message);
    }
    void holdCalls() {
        std::lock_guard lock(mutex_);
        holds_ = true;
    }
    // What the last call carried: its method and arguments; taken once.
    std::string heard() {
        std::lock_guard lock(mutex_);
        return std::exchange(heard_, {});
    }

private:
    void take(sdbus::MethodCall& call) {
        std::lock_guard lock(mutex_);
        std::string name;
        call >> name;
        heard_ = call.getMemberName() + " " + name;
        if (heard_.rfind("unmountVolume", 0) == 0) {
            bool force = false;
            bool whole = false;
            call >> force >> whole;
            heard_ += std::string(force ? " force" : "") + (whole ? " whole" : "");
        }
        if (holds_) {
            held_ = call;
            arrived_.notify_all();
            return;
        }
        auto reply = call.createReply();
        reply << code_ << message_;
        reply.send();
    }

    std::mutex mutex_;
    std::int64_t code_ = 0;
    std::string message_;
    bool holds_ = false;
    std::string heard_;
    std::condition_variable arrived_;
    std::optional<sdbus::MethodCall> held_;
    std::unique_ptr<sdbus::IConnection> connection_;
    std::unique_ptr<sdbus::IObject> object_;
};

class DaemonMountRequestsTest : public test::PrivateBusTest {
protected:
    void SetUp() override {
        PrivateBusTest::SetUp();
        if (IsSkipped()) {
            return;
        }
        daemon.emplace();
        ASSERT_TRUE(bus->waitForName(XPCServiceName::mount));
    }
    void TearDown() override { daemon.reset(); }

    std::optional<FakeMountDaemon> daemon;
    DaemonMountRequests requests;
};

TEST_F(DaemonMountRequestsTest, TheDaemonsAnswerIsTheOutcomeWordForWord) {
    const std::string inUse = "cannot unmount /media/ann/STICK (sdb1): in use by bash (pid 812)";
    daemon->answerWith(16, inUse);
    Answer busy = requests.unmount("sdb1", UnmountForce::No, UnmountScope::WholeDisk);
    EXPECT_EQ(busy.code, MountHelper::busyStatus);
    EXPECT_EQ(busy.message, inUse);
    EXPECT_EQ(daemon->heard(), "unmountVolume sdb1 whole");

    const std::string refusal = "not authorized to eject sdb";
    daemon->answerWith(13, refusal);
    Answer refused = requests.eject("sdb");
    EXPECT_EQ(refused.code, 13);
    EXPECT_EQ(refused.message, refusal);
    EXPECT_EQ(daemon->heard(), "ejectDisk sdb");

    const std::string done = "Volume STICK on sdb1 mounted at /media/ann/STICK";
    daemon->answerWith(0, done);
    Answer mounted = requests.mount("sdb1", std::nullopt);
    EXPECT_EQ(mounted.code, 0);
    EXPECT_EQ(mounted.message, done);
    EXPECT_EQ(daemon->heard(), "mountVolume sdb1");
    EXPECT_EQ(requests.unmount("sdb1", UnmountForce::Yes, UnmountScope::Volume).code, 0);
    EXPECT_EQ(daemon->heard(), "unmountVolume sdb1 force");

    // A user never picks the folder: the daemon is not even asked.
    Answer chosen = requests.mount("sdb1", std::string("/tmp/elsewhere"));
    EXPECT_NE(chosen.code, 0);
    EXPECT_EQ(chosen.message, DaemonMountRequests::chosenFolderRefused);
    EXPECT_EQ(daemon->heard(), "");
}

TEST_F(DaemonMountRequestsTest, ADaemonThatGivesNoAnswerIsAFailureNotAWait) {
    daemon->holdCalls();
    auto pending = std::async(std::launch::async, [this] {
        return requests.unmount("sdb1", UnmountForce::No, UnmountScope::Volume);
    });
    ASSERT_TRUE(daemon->waitForHeldCall());
    daemon->goAway();
    ASSERT_EQ(pending.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    Answer lost = pending.get();
    EXPECT_NE(lost.code, 0);
    EXPECT_NE(lost.code, MountHelper::busyStatus);
    EXPECT_NE(lost.message.find("cannot be reached"), std::string::npos) << lost.message;

    // Nobody on the bus at all.
    Answer none = requests.eject("sdb");
    EXPECT_NE(none.code, 0);
    EXPECT_NE(none.message.find("cannot be reached"), std::string::npos) << none.message;
}

}  // namespace
}  // namespace harbormind
