#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <mutex>

#include "AppTestSupport.h"
#include "app/drives/DMDriveAction.h"
#include "app/drives/DMDriveActionManager.h"
#include "app/shell/DMFeatureWindowFactory.h"
#include "app/common/DMTexts.h"
#include "drivemodel/DMLocalDriveManager.h"
#include "drivemodel/DMLocalDriveObject.h"
#include "support/Dispatch.h"
#include "testsupport/VirtualClockTest.h"

namespace harbormind {
namespace {

// Drive work that answers from fields and records what was asked, with the time of asking.
class FakeOperations final : public DMDriveOperations {
public:
    bool isLocalDrive(const Drive&) override { return local; }
    DMDriveObjectFilesystem fileSystem(const Drive&) override { return fs; }
    std::string name(const Drive&) override { return "ELEMENTS"; }
    int open(const Drive&) override { return note("open", openCode); }
    int mount(const Drive&) override { return note("mount", mountCode); }
    int mountAsNTFS(const Drive&) override { return note("mountAsNTFS", mountCode); }
    DMOperationResult mountAsNTFSWithReason(const Drive& drive) override {
        return {mountAsNTFS(drive), mountReason};
    }
    DMOperationResult unmount(const Drive&, DMUnmountOption option) override {
        if (option == DMUnmountOption::force) {
            return {note("forceUnmount", 0), {}};
        }
        return {note("unmount", unmountAnswer.code), unmountAnswer.message};
    }
    DMOperationResult eject(const Drive&) override { return {note("eject", ejectAnswer.code), ejectAnswer.message}; }
    int lock(const Drive&) override { return note("lock", 0); }
    int accessMode(const Drive&) override {
        std::lock_guard lock(mutex);
        int mode = accessModes.empty() ? 2 : accessModes.front();
        if (accessModes.size() > 1) {
            accessModes.erase(accessModes.begin());
        }
        calls.push_back({"accessMode", Clock::current().now()});
        return mode;
    }
    bool hasHibernationFile(const Drive&) override { return hibernationFile; }
    void setIgnoreHibernateFile(bool ignore) override { note(ignore ? "ignoreHibernation" : "keepHibernation", 0); }
    std::vector<Drive> externalRootDrives() override { return externalRoots; }
    bool isDriverInstalled() override { return driverInstalled; }
    bool canInstallDriver() override { return true; }
    void installDriver() override { note("installDriver", 0); }
    bool ignoreHibernationFileWhenMountingNtfsDrives() override { return ignoreHibernation; }
    void openURL(const std::string& url) override { note("openURL " + url, 0); }
    bool isNetworkDrive(const Drive&) override { return network; }
    void connect(const Drive&, std::function<void(int)> done) override { done(note("connect", 0)); }
    void disconnect(const Drive&, std::function<void(int)> done) override { done(note("disconnect", 0)); }
    void openNetworkDrive(const Drive&) override { note("openNetworkDrive", 0); }
    void removeNetworkDrive(const Drive&) override { note("removeNetworkDrive", 0); }
    std::vector<Drive> networkDrives() override { return networkList; }
    bool automaticallyOpenDrivesAfterUnlocking() override { return openAfterUnlocking; }
    bool isMounted(const Drive&) override { return mounted; }

    int note(const std::string& what, int code) {
        std::lock_guard lock(mutex);
        calls.push_back({what, Clock::current().now()});
        return code;
    }
    std::vector<std::string> names() {
        std::lock_guard lock(mutex);
        std::vector<std::string> result;
        for (const auto& call : calls) {
            result.push_back(call.first);
        }
        return result;
    }
    double timeOf(const std::string& what, int occurrence = 0) {
        std::lock_guard lock(mutex);
        for (const auto& call : calls) {
            if (call.first == what && occurrence-- == 0) {
                return toSeconds(call.second);
            }
        }
        return -1;
    }

    bool local = true;
    bool network = false;
    bool openAfterUnlocking = true;
    bool mounted = true;
    std::vector<Drive> networkList;
    DMDriveObjectFilesystem fs = DMDriveObjectFilesystem::ntfs;
    int mountCode = 0;
    std::string mountReason;
    int openCode = 0;
    DMOperationResult unmountAnswer{0, {}};
    DMOperationResult ejectAnswer{0, {}};
    std::vector<int> accessModes;
    bool hibernationFile = false;
    bool ignoreHibernation = true;
    bool driverInstalled = true;
    std::vector<Drive> externalRoots;
    std::mutex mutex;
    std::vector<std::pair<std::string, Clock::TimePoint>> calls;
};

class DriveActionManagerTest : public test::VirtualClockTest {
protected:
    void SetUp() override {
        VirtualClockTest::SetUp();
        operations = std::make_shared<FakeOperations>();
        presenter = std::make_shared<test::RecordingPresenter>();
        windows = std::make_shared<DMFeatureWindowFactory>(operations, presenter);
        actions = std::make_shared<DMDriveActionManager>(operations, presenter, windows);
        drive = DMLocalDriveObject::create("disk5s1");
    }

    // Mounts and waits for the completion; answers its code and the time it came.
    std::pair<int, double> mountAndWait() {
        std::optional<int> code;
        double at = -1;
        actions->perform(DMDriveAction::mount, drive, nullptr, [&](int result, std::optional<std::string> reason) {
            code = result;
            at = now();
            reasonGiven = reason;
        });
        Dispatch::main().runUntil([&] { return code.has_value(); }, seconds(30));
        // Let anything that follows the completion (an alert) happen too.
        Dispatch::main().runUntil([] { return false; }, seconds(1));
        return {code.value_or(-99), at};
    }

    std::shared_ptr<FakeOperations> operations;
    std::shared_ptr<test::RecordingPresenter> presenter;
    std::shared_ptr<DMFeatureWindowFactory> windows;
    std::shared_ptr<DMDriveActionManager> actions;
    std::shared_ptr<DMLocalDriveObject> drive;
    std::optional<std::string> reasonGiven;
};

TEST_F(DriveActionManagerTest, NtfsMountThatComesUpReadWriteReportsZeroAfterOneAndAHalfSeconds) {
    operations->accessModes = {1};
    auto [code, at] = mountAndWait();
    EXPECT_EQ(code, 0);
    EXPECT_DOUBLE_EQ(at, 1.5);
    EXPECT_DOUBLE_EQ(operations->timeOf("accessMode"), 1.5);
    EXPECT_TRUE(presenter->shown.empty());
}

TEST_F(DriveActionManagerTest, NtfsMountWithoutAccessFails) {
    operations->accessModes = {2};
    EXPECT_EQ(mountAndWait().first, -1);
    EXPECT_TRUE(presenter->shown.empty());
}

TEST_F(DriveActionManagerTest, ReadOnlyNtfsWithoutHibernationFileReportsZeroThenExplains) {
    operations->accessModes = {0};
    auto [code, at] = mountAndWait();
    EXPECT_EQ(code, 0);
    EXPECT_DOUBLE_EQ(at, 1.5);
    ASSERT_EQ(presenter->shown.size(), 1u);
    EXPECT_EQ(presenter->shown[0].alert.title, "Failed to open 'ELEMENTS' in read-write mode");
    EXPECT_EQ(presenter->shown[0].alert.text,
              "Problems were found on 'ELEMENTS', so it was opened read-only. Check the disk before opening it in "
              "read-write mode.");
    EXPECT_EQ(presenter->shown[0].alert.buttons, (std::vector<std::string>{"View Details...", "Not Now"}));
    // "View Details..." opens the help page.
    presenter->answer(0, 0);
    EXPECT_EQ(operations->names().back(), std::string("openURL ") + DMDriveActionManager::ntfsHelpURL);
}

TEST_F(DriveActionManagerTest, HibernatedNtfsIsRemountedOnceAndCheckedAgainThreeSecondsLater) {
    operations->accessModes = {0, 1};
    operations->hibernationFile = true;
    auto [code, at] = mountAndWait();
    EXPECT_EQ(code, 0);
    EXPECT_DOUBLE_EQ(operations->timeOf("accessMode", 0), 1.5);
    EXPECT_DOUBLE_EQ(operations->timeOf("accessMode", 1), 4.5);
    EXPECT_DOUBLE_EQ(at, 4.5);
    EXPECT_EQ(operations->names(), (std::vector<std::string>{"ignoreHibernation", "mountAsNTFS", "accessMode",
                                                             "ignoreHibernation", "unmount", "mountAsNTFS",
                                                             "accessMode"}));
    EXPECT_TRUE(presenter->shown.empty());
}

TEST_F(DriveActionManagerTest, HibernatedNtfsStillReadOnlyAfterRemountExplains) {
    operations->accessModes = {0, 0};
    operations->hibernationFile = true;
    EXPECT_EQ(mountAndWait().first, 0);
    ASSERT_EQ(presenter->titles(), (std::vector<std::string>{"Failed to open 'ELEMENTS' in read-write mode"}));
}

TEST_F(DriveActionManagerTest, HibernatedNtfsWithTheSettingOffStaysReadOnlyQuietly) {
    operations->accessModes = {0};
    operations->hibernationFile = true;
    operations->ignoreHibernation = false;
    EXPECT_EQ(mountAndWait().first, 0);
    EXPECT_EQ(operations->names(),
              (std::vector<std::string>{"keepHibernation", "mountAsNTFS", "accessMode", "keepHibernation"}));
    EXPECT_TRUE(presenter->shown.empty());
}

// The view that asked shows the failure (one alert): it gets the daemon's code and reason.
TEST_F(DriveActionManagerTest, NtfsMountFailuresOfTheDaemonGoToTheCallerWithTheirReasonAtOnce) {
    operations->mountCode = 13;
    operations->mountReason = "loop3 is a disk image you did not attach: using it needs an administrator";
    auto [code, at] = mountAndWait();
    EXPECT_EQ(code, 13);
    EXPECT_DOUBLE_EQ(at, 0.0);
    EXPECT_EQ(reasonGiven, operations->mountReason);
    EXPECT_TRUE(presenter->shown.empty());
    EXPECT_EQ(operations->timeOf("accessMode"), -1);
}

// With no caller to tell, the alert is shown here: the reason when known, the code only without one.
TEST_F(DriveActionManagerTest, NtfsMountFailuresWithNobodyToTellAreShownHere) {
    operations->mountCode = -1;
    operations->mountReason = "refused: not authorized";
    actions->perform(DMDriveAction::mount, drive, nullptr);
    Dispatch::main().runUntil([&] { return !presenter->shown.empty(); }, seconds(5));
    ASSERT_EQ(presenter->shown.size(), 1u);
    EXPECT_EQ(presenter->shown[0].alert.title, "Error");
    EXPECT_EQ(presenter->shown[0].alert.text,
              "Your account is not allowed to mount this drive. Ask an administrator, or see \"man harbormindctl\" "
              "(ACCESS).");
    operations->mountCode = 5;
    operations->mountReason.clear();
    actions->perform(DMDriveAction::mount, drive, nullptr);
    Dispatch::main().runUntil([&] { return presenter->shown.size() > 1; }, seconds(5));
    ASSERT_EQ(presenter->shown.size(), 2u);
    EXPECT_EQ(presenter->shown[1].alert.text, "The operation failed (error code 5). If this keeps happening, contact technical support.");
    EXPECT_EQ(operations->timeOf("accessMode"), -1);
}

TEST_F(DriveActionManagerTest, NtfsMountedReadOnlyByTheDaemonIsExplainedByTheAccessCheck) {
    operations->mountCode = 2;
    operations->accessModes = {0};
    EXPECT_EQ(mountAndWait().first, 0);
    EXPECT_EQ(presenter->titles(), (std::vector<std::string>{"Failed to open 'ELEMENTS' in read-write mode"}));
}

TEST_F(DriveActionManagerTest, NtfsWithoutDriverIsMountedTheOrdinaryWay) {
    operations->driverInstalled = false;
    operations->accessModes = {1};
    EXPECT_EQ(mountAndWait().first, 0);
    EXPECT_EQ(operations->names(), (std::vector<std::string>{"mount", "accessMode"}));
}

TEST_F(DriveActionManagerTest, OtherFileSystemsReportTheMountAtOnce) {
    operations->fs = DMDriveObjectFilesystem::exfat;
    auto [code, at] = mountAndWait();
    EXPECT_EQ(code, 0);
    EXPECT_DOUBLE_EQ(at, 0.0);
    operations->mountCode = 7;
    EXPECT_EQ(mountAndWait().first, -1);
    EXPECT_EQ(operations->timeOf("accessMode"), -1);
}

TEST_F(DriveActionManagerTest, OpeningNtfsWithoutDriverAsksFirstAndOpensWhateverTheAnswer) {
    operations->driverInstalled = false;
    std::optional<int> code;
    actions->perform(DMDriveAction::open, drive, nullptr, [&](int result, std::optional<std::string>) { code = result; });
    Dispatch::main().runUntil([&] { return !presenter->shown.empty(); }, seconds(5));
    ASSERT_EQ(presenter->titles(), (std::vector<std::string>{"Install NTFS driver"}));
    EXPECT_EQ(presenter->shown[0].alert.buttons, (std::vector<std::string>{"Install", "Cancel"}));
    EXPECT_FALSE(code.has_value());
    presenter->answer(0, 1);
    Dispatch::main().runUntil([&] { return code.has_value(); }, seconds(5));
    EXPECT_EQ(code, 0);
    EXPECT_EQ(operations->names(), (std::vector<std::string>{"open"}));

    // With the driver in place nothing is asked.
    operations->driverInstalled = true;
    code.reset();
    actions->perform(DMDriveAction::open, drive, nullptr, [&](int result, std::optional<std::string>) { code = result; });
    Dispatch::main().runUntil([&] { return code.has_value(); }, seconds(5));
    EXPECT_EQ(presenter->shown.size(), 1u);
}

TEST_F(DriveActionManagerTest, LockingBitLockerWithoutDriverAsksAndCancelLocksNothing) {
    operations->fs = DMDriveObjectFilesystem::bitlocker_encrypted;
    operations->driverInstalled = false;
    presenter->answers = {1};
    actions->perform(DMDriveAction::lock, drive, nullptr);
    Dispatch::main().runUntil([] { return false; }, seconds(1));
    EXPECT_EQ(presenter->titles(), (std::vector<std::string>{"The system extension must be installed and allowed"}));
    EXPECT_TRUE(operations->names().empty());

    presenter->answers = {0};
    std::optional<int> code;
    actions->perform(DMDriveAction::lock, drive, nullptr, [&](int result, std::optional<std::string>) { code = result; });
    Dispatch::main().runUntil([&] { return code.has_value(); }, seconds(5));
    EXPECT_EQ(operations->names(), (std::vector<std::string>{"installDriver", "lock"}));
}

TEST_F(DriveActionManagerTest, CodesWithoutMeaningForTheDriveDoNothing) {
    for (DMDriveAction code : {DMDriveAction::edit, DMDriveAction::remove, DMDriveAction{200}, DMDriveAction{255}}) {
        bool called = false;
        actions->perform(code, drive, nullptr, [&](int, std::optional<std::string>) { called = true; });
        Dispatch::main().runUntil([] { return false; }, seconds(1));
        EXPECT_FALSE(called) << int(code);
    }
    EXPECT_TRUE(operations->names().empty());
    EXPECT_FALSE(actions->isActionAvailable(DMDriveAction::edit, DMDriveObjectCategory::local));
}

TEST_F(DriveActionManagerTest, LockAndMountOfAForeignDriveAnswerFailure) {
    operations->local = false;
    for (DMDriveAction code : {DMDriveAction::lock, DMDriveAction::mount}) {
        std::optional<int> result;
        actions->perform(code, drive, nullptr, [&](int value, std::optional<std::string>) { result = value; });
        Dispatch::main().runUntil([&] { return result.has_value(); }, seconds(5));
        EXPECT_EQ(result, -1);
    }
    EXPECT_TRUE(operations->names().empty());
}

// Regression: the window forced every unmount, and failed unmounts, ejects and opens said nothing.
TEST_F(DriveActionManagerTest, ABusyVolumeIsNamedAndForcedOnlyByTheUsersSecondChoice) {
    operations->unmountAnswer = {DMLocalDriveManager::busyCode, "in use by bash (pid 812)"};
    std::optional<int> code;
    actions->perform(DMDriveAction::unmount, drive, nullptr, [&](int value, std::optional<std::string>) { code = value; });
    Dispatch::main().runUntil([&] { return !presenter->shown.empty(); }, seconds(5));
    ASSERT_EQ(presenter->shown.size(), 1U);
    const DMAlert& alert = presenter->shown[0].alert;
    EXPECT_EQ(alert.title, "\"ELEMENTS\" is in use");
    EXPECT_NE(alert.text.find("in use by bash (pid 812)"), std::string::npos);
    EXPECT_EQ(alert.buttons, (std::vector<std::string>{DMTexts::cancelButton, DMTexts::forceUnmountButton}));
    EXPECT_EQ(alert.escapeButton, 0U);
    EXPECT_EQ(operations->names(), std::vector<std::string>{"unmount"}) << "nothing forced before the answer";

    presenter->answer(0, 1);
    Dispatch::main().runUntil([&] { return code.has_value(); }, seconds(5));
    EXPECT_EQ(code, 0);
    EXPECT_EQ(operations->names(), (std::vector<std::string>{"unmount", "forceUnmount"}));

    // Cancel keeps the volume mounted and answers busy.
    std::optional<int> cancelled;
    presenter->answers = {0};
    actions->perform(DMDriveAction::unmount, drive, nullptr, [&](int value, std::optional<std::string>) { cancelled = value; });
    Dispatch::main().runUntil([&] { return cancelled.has_value(); }, seconds(5));
    EXPECT_EQ(cancelled, DMLocalDriveManager::busyCode);
    EXPECT_EQ(operations->names().back(), "unmount");
}

TEST_F(DriveActionManagerTest, FailedEjectAndOpenAreShown) {
    operations->ejectAnswer = {-1, "cannot eject sdb: in use by cp (pid 77)"};
    operations->openCode = -1;
    std::optional<int> ejected;
    actions->perform(DMDriveAction::eject, drive, nullptr, [&](int value, std::optional<std::string>) { ejected = value; });
    Dispatch::main().runUntil([&] { return ejected.has_value(); }, seconds(5));
    EXPECT_EQ(ejected, -1);
    operations->fs = DMDriveObjectFilesystem::apfs;
    std::optional<int> opened;
    actions->perform(DMDriveAction::open, drive, nullptr, [&](int value, std::optional<std::string>) { opened = value; });
    Dispatch::main().runUntil([&] { return opened.has_value(); }, seconds(5));
    EXPECT_EQ(opened, -1);
    EXPECT_EQ(presenter->titles(), (std::vector<std::string>{"\"ELEMENTS\" could not be ejected",
                                                             "\"ELEMENTS\" could not be opened"}));
    EXPECT_EQ(presenter->shown[0].alert.text, "cannot eject sdb: in use by cp (pid 77)");

    // Refused by the helper daemon: what to do about it, with its words under that.
    operations->ejectAnswer = {13, "refused: not authorized"};
    std::optional<int> refused;
    actions->perform(DMDriveAction::eject, drive, nullptr, [&](int value, std::optional<std::string>) { refused = value; });
    Dispatch::main().runUntil([&] { return refused.has_value(); }, seconds(5));
    ASSERT_EQ(presenter->shown.size(), 3u);
    EXPECT_EQ(presenter->shown[2].alert.text,
              "Your account is not allowed to eject this drive. Ask an administrator, or see \"man harbormindctl\" "
              "(ACCESS).");
    EXPECT_EQ(presenter->shown[2].alert.informativeText, "refused: not authorized");
}

// Regression: a network drive that no network manager owns never answered lock or mount.
TEST_F(DriveActionManagerTest, LockAndMountOfAnOrphanNetworkDriveAnswerFailure) {
    drive->setCategory(DMDriveObjectCategory::network);
    for (DMDriveAction code : {DMDriveAction::lock, DMDriveAction::mount}) {
        std::optional<int> result;
        actions->perform(code, drive, nullptr, [&](int value, std::optional<std::string>) { result = value; });
        EXPECT_EQ(result, -1) << "action " << int(code);
    }
    EXPECT_TRUE(operations->names().empty());
}

TEST_F(DriveActionManagerTest, UnmountAllUnmountsEveryExternalRoot) {
    operations->externalRoots = {DMLocalDriveObject::create("disk4"), DMLocalDriveObject::create("disk5")};
    actions->unmountAllExternalDrives();
    Dispatch::main().runUntil([] { return false; }, seconds(1));
    EXPECT_EQ(operations->names(), (std::vector<std::string>{"unmount", "unmount"}));
}

}  // namespace
}  // namespace harbormind

namespace harbormind {
namespace {

TEST_F(DriveActionManagerTest, MountGuardDecidesWhetherTheMountGoesOn) {
    operations->fs = DMDriveObjectFilesystem::exfat;
    std::function<void()> held;
    actions->setMountGuard([&](const auto&, std::function<void()> proceed) { held = std::move(proceed); });
    std::optional<int> code;
    actions->perform(DMDriveAction::mount, drive, nullptr, [&](int result, std::optional<std::string>) { code = result; });
    Dispatch::main().runUntil([] { return false; }, seconds(1));
    EXPECT_TRUE(operations->names().empty());
    ASSERT_TRUE(held);
    held();
    Dispatch::main().runUntil([&] { return code.has_value(); }, seconds(5));
    EXPECT_EQ(code, 0);
    EXPECT_EQ(operations->names(), std::vector<std::string>{"mount"});
}

// Every action code, for a drive of each kind: the operation it reaches (the first drive call
// it makes), or nothing. Windows of their own (clone, cleaning, First Aid) have their own tests.
TEST_F(DriveActionManagerTest, EachActionCodeReachesItsOperationOrNothing) {
    struct Case {
        DMDriveObjectCategory category;
        DMDriveAction code;
        std::vector<std::string> calls;
    };
    const std::vector<std::string> none;
    const std::vector<Case> cases = {
        {DMDriveObjectCategory::local, DMDriveAction::open, {"open"}},
        {DMDriveObjectCategory::local, DMDriveAction::lock, {"lock"}},
        {DMDriveObjectCategory::local, DMDriveAction::mount, {"mount"}},
        {DMDriveObjectCategory::local, DMDriveAction::unmount, {"unmount"}},
        {DMDriveObjectCategory::local, DMDriveAction::eject, {"eject"}},
        {DMDriveObjectCategory::local, DMDriveAction::edit, none},
        {DMDriveObjectCategory::local, DMDriveAction::remove, none},
        {DMDriveObjectCategory::local, DMDriveAction{200}, none},
        {DMDriveObjectCategory::network, DMDriveAction::open, {"openNetworkDrive"}},
        {DMDriveObjectCategory::network, DMDriveAction::mount, {"connect"}},
        {DMDriveObjectCategory::network, DMDriveAction::unmount, {"disconnect"}},
        {DMDriveObjectCategory::network, DMDriveAction::remove, {"removeNetworkDrive"}},
        {DMDriveObjectCategory::network, DMDriveAction::unlock, none},
        {DMDriveObjectCategory::network, DMDriveAction::lock, none},
        {DMDriveObjectCategory::network, DMDriveAction::eject, none},
        {DMDriveObjectCategory::network, DMDriveAction::encrypt, none},
        {DMDriveObjectCategory::network, DMDriveAction::clone, none},
        {DMDriveObjectCategory::network, DMDriveAction::junkClean, none},
        {DMDriveObjectCategory::network, DMDriveAction::firstAid, none},
        {DMDriveObjectCategory::network, DMDriveAction{200}, none},
    };
    operations->fs = DMDriveObjectFilesystem::exfat;
    presenter->answers = {0, 0, 0, 0, 0, 0, 0, 0};
    for (const Case& item : cases) {
        SCOPED_TRACE(testing::Message() << (item.category == DMDriveObjectCategory::network ? "network " : "local ")
                                        << int(item.code));
        operations->calls.clear();
        operations->local = item.category == DMDriveObjectCategory::local;
        operations->network = !operations->local;
        drive->setCategory(item.category);
        actions->perform(item.code, drive, nullptr);
        Dispatch::main().runUntil([] { return false; }, seconds(1));
        EXPECT_EQ(operations->names(), item.calls);
    }
}

TEST_F(DriveActionManagerTest, ConnectAllAndDisconnectAllReachEveryNetworkDriveInTheManagersOrder) {
    operations->local = false;
    operations->network = true;
    auto first = DMLocalDriveObject::create("smb://nas/photos");
    auto second = DMLocalDriveObject::create("smb://nas/music");
    first->setCategory(DMDriveObjectCategory::network);
    second->setCategory(DMDriveObjectCategory::network);
    operations->networkList = {first, second};
    actions->performOnAllNetworkDrives(DMDriveAction::mount);
    actions->performOnAllNetworkDrives(DMDriveAction::unmount);
    // Codes without meaning for a network drive reach none.
    actions->performOnAllNetworkDrives(DMDriveAction::eject);
    Dispatch::main().runUntil([] { return false; }, seconds(1));
    EXPECT_EQ(operations->names(), (std::vector<std::string>{"connect", "connect", "disconnect", "disconnect"}));
}

TEST_F(DriveActionManagerTest, ALoadGuardThatSaysNoStopsOpenAndDriveCleanButNotMount) {
    operations->fs = DMDriveObjectFilesystem::exfat;
    int asked = 0;
    actions->setLoadGuard([&](const auto&) {
        ++asked;
        return false;
    });
    std::optional<int> code;
    actions->perform(DMDriveAction::open, drive, nullptr, [&](int value, std::optional<std::string>) { code = value; });
    actions->perform(DMDriveAction::driveClean, drive, nullptr);
    actions->perform(DMDriveAction::mount, drive, nullptr);
    Dispatch::main().runUntil([] { return false; }, seconds(1));
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(code, -1);
    EXPECT_EQ(operations->names(), std::vector<std::string>{"mount"});
}

TEST_F(DriveActionManagerTest, AnUnlockedDriveOpensOnlyWhenTheSettingAsksAndItIsMounted) {
    auto unlockAndCountOpens = [&] {
        operations->calls.clear();
        std::optional<bool> opened;
        actions->driveUnlocked(drive, [&](bool value) { opened = value; });
        Dispatch::main().runUntil([&] { return opened.has_value(); }, seconds(5));
        EXPECT_TRUE(opened.has_value());
        std::vector<std::string> names = operations->names();
        return std::count(names.begin(), names.end(), "open");
    };
    EXPECT_EQ(unlockAndCountOpens(), 1);
    operations->mounted = false;
    EXPECT_EQ(unlockAndCountOpens(), 0);
    operations->mounted = true;
    operations->openAfterUnlocking = false;
    EXPECT_EQ(unlockAndCountOpens(), 0);
}

}  // namespace
}  // namespace harbormind
