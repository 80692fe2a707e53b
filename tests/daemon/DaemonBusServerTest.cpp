#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <future>
#include <mutex>
#include <thread>

#include "daemon/DaemonBusFixture.h"
#include "daemon/RefusingBitLockerService.h"
#include "daemon/SimDaemonBackend.h"
#include "support/Clock.h"
#include "drivemodel/DMBitLockerWrapper.h"
#include "drivemodel/DMDeviceCloneWrapper.h"
#include "drivemodel/DMNtfsWrapper.h"
#include "xpc/DMCheckDiskServerProtocol.h"
#include "xpc/DaemonCall.h"
#include "xpc/XPCDuplexObject.h"
#include "xpc/XPCServiceName.h"

namespace harbormind {
namespace {

PlatformValue::Dictionary answers() {
    PlatformValue::Dictionary bitlocker{
        {"isBitLockerKextAllowedWithReply", true},
        {"isBitLockerDriveWithBsdname", PlatformValue::Dictionary{{"disk4s1", true}}},
        {"getBitLockerBSDNameWithBsdname", PlatformValue::Dictionary{{"disk4s1", "disk5"}}},
        {"bitLockerDriveStatusWithBsdname", PlatformValue::Dictionary{{"disk4s1", 16}}},
        {"unlockBitLockerDriveWithBsdname",
         PlatformValue::Dictionary{{"disk4s1", PlatformValue::Dictionary{{"password", "right"}}}}},
    };
    PlatformValue::Dictionary ntfs{{"isNtfsKextAllowedWithReply", true},
                                   {"mountAsNTFSNativelyWithBsdName", PlatformValue::Dictionary{{"disk2s1", 0}}}};
    PlatformValue::Dictionary clone{{"isCloneInterruptDeviceWithStrDevice", PlatformValue::Dictionary{{"/dev/disk4", true}}}};
    PlatformValue::Dictionary checkDisk{{"firstAidWithArguments", PlatformValue::Dictionary{{"*", true}}}};
    return {{"bitlocker", bitlocker}, {"ntfs", ntfs}, {"deviceClone", clone}, {"checkDisk", checkDisk}};
}

using DaemonBusTest = test::DaemonBusFixture;

TEST_F(DaemonBusTest, WrappersReachTheSimulatedDaemonThroughTheBus) {
    auto backend = std::make_shared<SimDaemonBackend>(std::make_shared<InProcessDaemon>(answers()));
    serve(backend);
    auto bitlocker = DMBitLockerWrapper::create();
    EXPECT_TRUE(bitlocker->isBitLockerKextAllowed());
    EXPECT_TRUE(bitlocker->isBitLockerDriveWithBsdname("disk4s1"));
    EXPECT_FALSE(bitlocker->isBitLockerDriveWithBsdname("disk2s1"));
    EXPECT_EQ(bitlocker->getBitLockerBSDNameWithBsdname("disk4s1"), "disk5");
    EXPECT_EQ(bitlocker->bitLockerDriveStatusWithBsdname("disk4s1"), DMLocalDriveStatus::locked);
    EXPECT_EQ(bitlocker->unlockBitLockerDriveWithBsdname("disk4s1", "wrong", false), -1);
    EXPECT_EQ(bitlocker->unlockBitLockerDriveWithBsdname("disk4s1", "right", true), 0);
    EXPECT_EQ(bitlocker->bitLockerDriveStatusWithBsdname("disk4s1"), DMLocalDriveStatus::unlocked);

    auto ntfs = std::make_shared<DMNtfsWrapper>();
    EXPECT_TRUE(ntfs->isNtfsKextAllowed());
    EXPECT_EQ(ntfs->mountAsNTFSNativelyWithBsdName("disk2s1"), 0);
    ntfs->setEnableDebugLoggingWithFlag(true);
    EXPECT_TRUE(DMDeviceCloneWrapper::create()->isCloneInterruptDeviceWithStrDevice("/dev/disk4"));

    // The one-way call arrives too (its connection stays open until the daemon has it), on a
    // job thread of its own; the simulated daemon tells the clock when it records a call.
    InProcessDaemonCall expected{"ntfs", "setEnableDebugLoggingWithFlag", {"true"}};
    auto arrived = [&] {
        auto calls = backend->daemon()->calls();
        return std::find(calls.begin(), calls.end(), expected) != calls.end();
    };
    Clock& clock = Clock::current();
    EXPECT_TRUE(clock.waitUntil(arrived, clock.now() + seconds(5)));
    EXPECT_EQ(authorizer->lastUid, static_cast<std::uint32_t>(::geteuid()));
}

TEST_F(DaemonBusTest, ARefusedCallerGetsEveryDefaultAndTheBackendHearsNothing) {
    auto backend = std::make_shared<SimDaemonBackend>(std::make_shared<InProcessDaemon>(answers()));
    serve(backend);
    authorizer->allowed = false;
    auto bitlocker = DMBitLockerWrapper::create();
    EXPECT_FALSE(bitlocker->isBitLockerKextAllowed());
    EXPECT_EQ(bitlocker->unlockBitLockerDriveWithBsdname("disk4s1", "right", false), -1);
    EXPECT_EQ(authorizer->lastAction, DaemonAction::unlock);
    EXPECT_EQ(bitlocker->bitLockerDriveStatusWithBsdname("disk4s1"), DMLocalDriveStatus::invalid);
    EXPECT_EQ(std::make_shared<DMNtfsWrapper>()->mountAsNTFSNativelyWithBsdName("disk2s1"), -1);
    EXPECT_TRUE(backend->daemon()->calls().empty());
}

TEST_F(DaemonBusTest, UnacceptableDeviceNamesNeverReachTheBackend) {
    auto backend = std::make_shared<SimDaemonBackend>(std::make_shared<InProcessDaemon>(answers()));
    serve(backend);
    auto bitlocker = DMBitLockerWrapper::create();
    for (const std::string& name : std::vector<std::string>{"", "../disk4s1", "disk4s1\n", "disk4s1;reboot", "$(id)", std::string(300, 'a')}) {
        EXPECT_FALSE(bitlocker->isBitLockerDriveWithBsdname(name)) << name;
    }
    EXPECT_FALSE(DMDeviceCloneWrapper::create()->isCloneInterruptDeviceWithStrDevice("/etc/passwd"));
    EXPECT_TRUE(backend->daemon()->calls().empty());
}

// A check-disk client that records what the service streams back.
class CheckDiskClient final : public DMCheckDiskAppProtocol {
public:
    void updateUIWithChekcInfo(const std::string& info, std::int64_t checkStatus) override {
        std::lock_guard lock(mutex);
        lines.push_back(info + "/" + std::to_string(checkStatus));
        changed.notify_all();
    }
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::string> lines;
};

bool firstAid(XPCDuplexObject& object, std::vector<std::string> arguments) {
    return waitForDaemon<DMCheckDiskServerProtocol>(object, false, seconds(10), "firstAid",
                                                    [&](DMCheckDiskServerProtocol& proxy, XPCBoolReply reply) {
                                                        proxy.firstAidWithArguments(arguments, reply);
                                                    });
}

TEST_F(DaemonBusTest, FirstAidRunsOnlyTheTwoCommandFormsTheApplicationBuilds) {
    auto backend = std::make_shared<SimDaemonBackend>(std::make_shared<InProcessDaemon>(answers()));
    serve(backend);
    auto client = std::make_shared<CheckDiskClient>();
    XPCDuplexObject object(XPCServiceName::checkDisk, client);
    EXPECT_FALSE(firstAid(object, {"-c", "rm -rf /"}));
    EXPECT_FALSE(firstAid(object, {"-c", "diskutil repairVolume disk2s1; reboot"}));
    EXPECT_FALSE(firstAid(object, {"-c", "'/tmp/evil' /dev/disk2s1 -F kestrane_chkdsk"}));
    EXPECT_TRUE(backend->daemon()->calls().empty());
    EXPECT_TRUE(firstAid(object, {"-c", "diskutil repairVolume disk2s1"}));
    EXPECT_TRUE(firstAid(object, {"-c", "'/opt/Kestrane Harbormind/fsck_NTFS' /dev/disk2s1 -F kestrane_chkdsk"}));
    EXPECT_EQ(backend->daemon()->calls().size(), 2u);
}

// A backend whose BitLocker service the test scripts.
class ScriptedBitLocker final : public RefusingBitLockerService {
public:
    explicit ScriptedBitLocker(std::shared_ptr<DMBitLockerAppProtocol> app, std::shared_future<void> release)
        : app_(std::move(app)), release_(std::move(release)) {}
    void isBitLockerKextAllowedWithReply(XPCBoolReply reply) override { reply(true); }
    void unlockBitLockerDriveWithBsdname(const std::string&, const std::string&, bool, XPCIntReply reply) override {
        release_.wait();
        reply(0);
    }
    // Reports progress and answers whether the application's reply code came back.
    void encryptBitLockerDriveWithBsdname(const std::string&, const std::string&, XPCBoolReply reply) override {
        std::int64_t code = -1;
        app_->updateProgressWithStatus(1, 100, 50, 0, [&](std::int64_t answer) { code = answer; });
        bool goOn = true;
        app_->continuedWithReply([&](bool answer) { goOn = answer; });
        reply(code == 7 && !goOn);
    }

private:
    std::shared_ptr<DMBitLockerAppProtocol> app_;
    std::shared_future<void> release_;
};

class ScriptedBackend final : public DaemonBackend {
public:
    explicit ScriptedBackend(std::shared_future<void> release) : release_(std::move(release)) {}
    std::shared_ptr<DMBitLockerServerProtocol> bitLocker(std::shared_ptr<DMBitLockerAppProtocol> app) override {
        return std::make_shared<ScriptedBitLocker>(std::move(app), release_);
    }
    std::shared_ptr<DMNtfsServerProtocol> ntfs(const CallerIdentity& caller) override { return sim_.ntfs(caller); }
    std::shared_ptr<CheckDiskBackend> checkDisk() override { return sim_.checkDisk(); }
    std::shared_ptr<DMDeviceCloneServerProtocol> deviceClone(std::shared_ptr<DMDeviceCloneAppProtocol> app) override {
        return sim_.deviceClone(std::move(app));
    }
    std::shared_ptr<DMUSBBlockerServerProtocol> usbBlocker(const CallerIdentity& caller) override {
        return sim_.usbBlocker(caller);
    }

private:
    std::shared_future<void> release_;
    SimDaemonBackend sim_{std::make_shared<InProcessDaemon>()};
};

TEST_F(DaemonBusTest, ASecondCallerIsServedWhileALongJobRuns) {
    std::promise<void> release;
    serve(std::make_shared<ScriptedBackend>(release.get_future().share()));
    auto longJob = std::async(std::launch::async, [] {
        return DMBitLockerWrapper::create()->unlockBitLockerDriveWithBsdname("disk4s1", "pw", false);
    });
    EXPECT_TRUE(DMBitLockerWrapper::create()->isBitLockerKextAllowed());
    EXPECT_EQ(longJob.wait_for(std::chrono::milliseconds(0)), std::future_status::timeout);
    release.set_value();
    EXPECT_EQ(longJob.get(), 0);
}

// Answers progress with 7 and says the job should not go on.
class EncryptionClient final : public DMBitLockerAppProtocol {
public:
    void updateProgressWithStatus(std::int64_t, std::int64_t, std::int64_t, std::int64_t, XPCIntReply reply) override {
        reply(7);
    }
    void continuedWithReply(XPCBoolReply reply) override { reply(false); }
};

TEST_F(DaemonBusTest, CallbackRepliesReachTheDaemonsJob) {
    std::promise<void> release;
    serve(std::make_shared<ScriptedBackend>(release.get_future().share()));
    auto client = std::make_shared<EncryptionClient>();
    XPCDuplexObject object(XPCServiceName::bitLocker, client);
    bool delivered = waitForDaemon<DMBitLockerServerProtocol>(
        object, false, seconds(10), "encrypt", [](DMBitLockerServerProtocol& proxy, XPCBoolReply reply) {
            proxy.encryptBitLockerDriveWithBsdname("disk4s1", "pw", reply);
        });
    EXPECT_TRUE(delivered);
    release.set_value();
}

}  // namespace
}  // namespace harbormind
