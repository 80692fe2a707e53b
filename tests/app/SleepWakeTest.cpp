#include <gtest/gtest.h>

#include <sdbus-c++/sdbus-c++.h>

#include <condition_variable>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <unistd.h>

#include "app/drives/DMDriveActionManager.h"
#include "app/drives/DMDriveOperations.h"
#include "app/drives/DMEventMonitor.h"
#include "app/drives/DMPowerStateActions.h"
#include "config/DMConfigurationManager.h"
#include "drivemodel/DMLocalDriveObject.h"
#include "platform/SleepWakeNotifications.h"
#include "platform/linux/desktop/LogindSleepWatcher.h"
#include "platform/sim/SimPlatform.h"
#include "platform/sim/SimSettingsStore.h"
#include "support/Dispatch.h"
#include "FakeLogind.h"
#include "testsupport/PrivateBus.h"
#include "testsupport/VirtualClockTest.h"

namespace harbormind {
namespace {

// Drive work that records what it was asked, in order. Network answers can be held back.
class RecordingOperations final : public DMDriveOperations {
public:
    bool isLocalDrive(const Drive&) override { return true; }
    DMDriveObjectFilesystem fileSystem(const Drive&) override { return DMDriveObjectFilesystem::unknown; }
    std::string name(const Drive& drive) override { return drive->identifier(); }
    int open(const Drive&) override { return 0; }
    int mount(const Drive&) override { return 0; }
    DMOperationResult unmount(const Drive& drive, DMUnmountOption) override { return {note("unmount " + drive->identifier()), {}}; }
    DMOperationResult eject(const Drive&) override { return {0, {}}; }
    int lock(const Drive& drive) override { return note("lock " + drive->identifier()); }
    int accessMode(const Drive&) override { return 1; }
    bool hasHibernationFile(const Drive&) override { return false; }
    void setIgnoreHibernateFile(bool) override {}
    std::vector<Drive> externalRootDrives() override { return external; }
    std::vector<Drive> lockableDrives() override { return lockable; }
    bool isDriverInstalled() override { return true; }
    bool canInstallDriver() override { return false; }
    void installDriver() override {}
    bool ignoreHibernationFileWhenMountingNtfsDrives() override { return true; }
    void openURL(const std::string&) override {}
    bool isNetworkDrive(const Drive&) override { return true; }
    void connect(const Drive& drive, std::function<void(int)> done) override {
        note("connect " + drive->identifier());
        done(0);
    }
    void disconnect(const Drive& drive, std::function<void(int)> done) override {
        note("disconnect " + drive->identifier());
        if (answerNetwork) {
            done(0);
        }
    }
    std::vector<Drive> networkDrives() override { return network; }

    int note(const std::string& what) {
        std::lock_guard lock(mutex);
        calls.push_back(what);
        return 0;
    }
    std::vector<std::string> recorded() {
        std::lock_guard lock(mutex);
        return calls;
    }

    std::vector<Drive> external, lockable, network;
    bool answerNetwork = true;
    std::mutex mutex;
    std::vector<std::string> calls;
};

// The platform's sleep and wake, driven by the test.
class ScriptedSleepWake final : public SleepWakeNotifications {
public:
    bool observe(Handler handler) override {
        handler_ = std::move(handler);
        holding = true;
        return true;
    }
    void stopObserving() override { handler_ = nullptr; }
    void sleepWorkDone() override {
        holding = false;
        releasedAt = Clock::current().now();
    }
    bool holdsSleep() const override { return holding; }
    void fire(bool isSleep) { handler_(isSleep); }

    bool holding = false;
    std::optional<Clock::TimePoint> releasedAt;

private:
    Handler handler_;
};

class SleepWakeTest : public test::VirtualClockTest {
protected:
    void SetUp() override {
        VirtualClockTest::SetUp();
        Platform::setCurrent(SimPlatform::empty());
        startedAt = Clock::current().now();
        configuration = std::make_unique<DMConfigurationManager>("com.kestrane.harbormind",
                                                                 std::make_shared<SimSettingsStore>(), nullptr, nullptr);
        operations = std::make_shared<RecordingOperations>();
        operations->external = {DMLocalDriveObject::create("sdb")};
        operations->lockable = {DMLocalDriveObject::create("sdc1")};
        operations->network = {DMLocalDriveObject::create("smb://nas/share")};
        actions = std::make_shared<DMDriveActionManager>(operations, nullptr);
        actions->startEventMonitor(&platform, *configuration);
    }
    // Fires the event and lets the main queue run until the platform may sleep again.
    void fireAndSettle(bool isSleep) {
        platform.fire(isSleep);
        Dispatch::main().runUntil([] { return false; }, seconds(10));
    }

    double releasedAfter() const { return toSeconds(*platform.releasedAt - startedAt); }

    Clock::TimePoint startedAt;
    ScriptedSleepWake platform;
    std::unique_ptr<DMConfigurationManager> configuration;
    std::shared_ptr<RecordingOperations> operations;
    std::shared_ptr<DMDriveActionManager> actions;
};

TEST_F(SleepWakeTest, WithEveryAutomationOffSleepDoesNothingAndLetsTheMachineSleepAtOnce) {
    ASSERT_TRUE(platform.holding);
    fireAndSettle(true);
    EXPECT_TRUE(operations->recorded().empty());
    EXPECT_FALSE(platform.holding);
    EXPECT_DOUBLE_EQ(releasedAfter(), 0.0);
}

TEST_F(SleepWakeTest, SleepUnmountsDisconnectsAndLocksInThatOrderThenLetsGo) {
    configuration->setAutomaticallyUnmountExternalDrivesOnSleep(true);
    configuration->setAutomaticallyDisconnectNetworkDrivesOnSleep(true);
    configuration->setAutomaticallyLockEncryptedDrivesOnSleep(true);
    configuration->setAutomaticallyConnectNetworkDrivesOnWake(true);
    fireAndSettle(true);
    auto calls = operations->recorded();
    // Unmount and lock run in the background; the disconnect is started from the main queue.
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_NE(std::find(calls.begin(), calls.end(), "unmount sdb"), calls.end());
    EXPECT_NE(std::find(calls.begin(), calls.end(), "disconnect smb://nas/share"), calls.end());
    EXPECT_NE(std::find(calls.begin(), calls.end(), "lock sdc1"), calls.end());
    EXPECT_FALSE(platform.holding);
    EXPECT_LT(releasedAfter(), DMPowerStateActions::timeLimit);
}

TEST_F(SleepWakeTest, WakeWithBothNetworkSettingsDisconnectsAndThenConnects) {
    configuration->setAutomaticallyDisconnectNetworkDrivesOnSleep(true);
    configuration->setAutomaticallyConnectNetworkDrivesOnWake(true);
    fireAndSettle(false);
    EXPECT_EQ(operations->recorded(),
              (std::vector<std::string>{"disconnect smb://nas/share", "connect smb://nas/share"}));
}

TEST_F(SleepWakeTest, WakeWithOnlyConnectOnConnectsEverySavedDrive) {
    configuration->setAutomaticallyConnectNetworkDrivesOnWake(true);
    fireAndSettle(false);
    EXPECT_EQ(operations->recorded(), (std::vector<std::string>{"connect smb://nas/share"}));
    // Connecting on wake never unmounts anything.
    fireAndSettle(true);
    EXPECT_EQ(operations->recorded().size(), 1u);
}

TEST_F(SleepWakeTest, AnActionThatNeverAnswersHoldsSleepBackOnlyUntilTheTimeLimit) {
    configuration->setAutomaticallyDisconnectNetworkDrivesOnSleep(true);
    operations->answerNetwork = false;
    fireAndSettle(true);
    EXPECT_FALSE(platform.holding);
    EXPECT_DOUBLE_EQ(releasedAfter(), DMPowerStateActions::timeLimit);
}

class LogindSleepTest : public SleepWakeTest {
protected:
    void SetUp() override {
        std::string error;
        bus = test::PrivateBus::start(error);
        if (!bus) {
            GTEST_SKIP() << "no private system bus: " << error;
        }
        SleepWakeTest::SetUp();
    }
    void TearDown() override {
        actions.reset();
        logind.reset();
        bus.reset();
        SleepWakeTest::TearDown();
    }

    std::unique_ptr<test::PrivateBus> bus;
    std::unique_ptr<test::FakeLogind> logind;
};

TEST_F(LogindSleepTest, PrepareForSleepRunsTheSleepActionsAndReleasesTheDelayLockThenWakeTakesItAgain) {
    logind = std::make_unique<test::FakeLogind>();
    ASSERT_TRUE(bus->waitForName("org.freedesktop.login1"));
    configuration->setAutomaticallyUnmountExternalDrivesOnSleep(true);
    test::ObservedWatcher watcher;
    auto monitored = std::make_shared<DMDriveActionManager>(operations, nullptr);
    monitored->startEventMonitor(&watcher, *configuration);
    ASSERT_TRUE(monitored->eventMonitor()->isObserving());
    EXPECT_EQ(logind->requests(), (std::vector<std::string>{"sleep delay Kestrane Harbormind"}));
    EXPECT_EQ(logind->heldLocks(), 1);

    logind->prepareForSleep(true);
    ASSERT_TRUE(watcher.waitForReports(1));
    Dispatch::main().runUntil([&] { return !watcher.holdsSleep(); }, seconds(10));
    EXPECT_EQ(operations->recorded(), (std::vector<std::string>{"unmount sdb"}));
    EXPECT_EQ(logind->heldLocks(), 0);

    logind->prepareForSleep(false);
    ASSERT_TRUE(watcher.waitForReports(2));
    EXPECT_EQ(logind->heldLocks(), 1);
    EXPECT_TRUE(watcher.holdsSleep());
    monitored.reset();
}

TEST_F(LogindSleepTest, WithoutLogindNothingIsObservedAndNothingHeld) {
    LogindSleepWatcher watcher;
    EXPECT_FALSE(watcher.observe([](bool) {}));
    EXPECT_FALSE(watcher.holdsSleep());
}

}  // namespace
}  // namespace harbormind
