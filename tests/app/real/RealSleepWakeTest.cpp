// Sleep and wake end to end on this machine: a stand-in for systemd-logind on a private system
// bus hands out the delay lock and emits PrepareForSleep, and the application's own watcher,
// dispatcher and drive managers act on real devices. PrepareForSleep(true) must unmount a real
// external loop device and let the lock go; PrepareForSleep(false) must reconnect a saved
// drive on a real Samba server. Skipped without root and loop devices, or without Samba.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/FakeLogind.h"
#include "app/drives/DMDriveActionManager.h"
#include "app/drives/DMDriveManagerOperations.h"
#include "app/drives/DMEventMonitor.h"
#include "config/DMConfigurationManager.h"
#include "drivemodel/DMDriveManager.h"
#include "drivemodel/DMLocalDriveManager.h"
#include "drivemodel/DMLocalDriveObject.h"
#include "network/DMNetworkDriveManager.h"
#include "network/NetworkTestPlatform.h"
#include "network/SambaServer.h"
#include "platform/linux/files/LinuxFileStore.h"
#include "platform/linux/settings/LinuxKeychainFiles.h"
#include "network/FolderScopedMounter.h"
#include "platform/linux/network/LinuxNetworkMounter.h"
#include "platform/linux/LinuxPlatform.h"
#include "platform/linux/disks/MountTable.h"
#include "platform/sim/SimSettingsStore.h"
#include "testsupport/LoopDisk.h"
#include "platform/linux/MediaRootHelper.h"
#include "support/Dispatch.h"
#include "support/RealClock.h"
#include "testsupport/PrivateBus.h"

namespace harbormind {
namespace {

// Runs the main queue until `done` holds, in short steps (what it waits for changes on other
// threads), at most `limit` seconds.
bool waitFor(const std::function<bool()>& done, double limit) {
    Clock& clock = Clock::current();
    const auto deadline = clock.now() + seconds(limit);
    while (!done()) {
        if (clock.now() >= deadline) {
            return false;
        }
        Dispatch::main().runUntil(done, seconds(0.1));
    }
    return true;
}

// The application's drive work, except that the sleep automation sees only the test's own
// external disk: other programs' loop devices on this machine are not the test's to unmount.
class OwnDiskOperations final : public DMDriveOperations {
public:
    OwnDiskOperations(std::shared_ptr<DMDriveOperations> inner, std::string disk)
        : inner_(std::move(inner)), disk_(std::move(disk)) {}

    std::vector<Drive> externalRootDrives() override {
        std::vector<Drive> own;
        for (const Drive& drive : inner_->externalRootDrives()) {
            if (drive->identifier() == disk_) {
                own.push_back(drive);
            }
        }
        return own;
    }
    std::vector<Drive> lockableDrives() override { return {}; }
    bool isLocalDrive(const Drive& drive) override { return inner_->isLocalDrive(drive); }
    DMDriveObjectFilesystem fileSystem(const Drive& drive) override { return inner_->fileSystem(drive); }
    std::string name(const Drive& drive) override { return inner_->name(drive); }
    int open(const Drive& drive) override { return inner_->open(drive); }
    int mount(const Drive& drive) override { return inner_->mount(drive); }
    DMOperationResult unmount(const Drive& drive, DMUnmountOption option) override {
        return inner_->unmount(drive, option);
    }
    DMOperationResult eject(const Drive& drive) override { return inner_->eject(drive); }
    int lock(const Drive& drive) override { return inner_->lock(drive); }
    int accessMode(const Drive& drive) override { return inner_->accessMode(drive); }
    bool hasHibernationFile(const Drive& drive) override { return inner_->hasHibernationFile(drive); }
    void setIgnoreHibernateFile(bool ignore) override { inner_->setIgnoreHibernateFile(ignore); }
    bool isDriverInstalled() override { return inner_->isDriverInstalled(); }
    bool canInstallDriver() override { return false; }
    void installDriver() override {}
    bool ignoreHibernationFileWhenMountingNtfsDrives() override { return true; }
    void openURL(const std::string&) override {}

private:
    std::shared_ptr<DMDriveOperations> inner_;
    std::string disk_;
};

// The local manager's drives, for a failure message.
std::string describe(const DMLocalDriveManager& manager) {
    std::string text;
    for (const auto& [name, drive] : manager.driveObjs()) {
        text += name + " ";
    }
    text += "; roots:";
    for (const auto& root : manager.rootObjs()) {
        auto local = std::dynamic_pointer_cast<DMLocalDriveObject>(root);
        text += " " + root->identifier() +
                (local && local->location() == DMDriveObjectLocation::external ? "(external)" : "");
    }
    return text;
}

class RealSleepWakeTest : public testing::Test {
protected:
    void SetUp() override {
        Clock::setCurrent(std::make_shared<RealClock>());
        Dispatch::main().adoptCurrentThread();
        std::string error;
        bus = test::PrivateBus::start(error);
        if (!bus) {
            GTEST_SKIP() << "no private system bus: " << error;
        }
        logind = std::make_unique<test::FakeLogind>();
        ASSERT_TRUE(bus->waitForName("org.freedesktop.login1"));
        config = std::make_unique<DMConfigurationManager>("com.kestrane.harbormind",
                                                          std::make_shared<SimSettingsStore>(), nullptr, nullptr);
        config->setAutomaticallyOpenDrivesAfterConnecting(false);
    }
    void TearDown() override {
        actions.reset();
        unregisterManagers();
        Dispatch::main().runUntil([] { return false; }, seconds(0));
        Platform::shutDownAll();
        logind.reset();
        bus.reset();
    }

    void follow(std::shared_ptr<DMDriveOperations> operations) {
        actions = std::make_shared<DMDriveActionManager>(std::move(operations), nullptr);
        actions->startEventMonitor(&watcher, *config);
        ASSERT_TRUE(actions->eventMonitor()->isObserving());
        ASSERT_EQ(logind->heldLocks(), 1);
    }
    void unregisterManagers() {
        for (const auto& manager : registered) {
            DMDriveManager::shared().unregisterManager(manager);
        }
        registered.clear();
    }
    void registerManager(std::shared_ptr<DMDriveManagerProtocol> manager) {
        DMDriveManager::shared().registerManager(manager, "");
        registered.push_back(std::move(manager));
    }

    std::unique_ptr<test::PrivateBus> bus;
    std::unique_ptr<test::FakeLogind> logind;
    std::unique_ptr<DMConfigurationManager> config;
    test::ObservedWatcher watcher;
    std::shared_ptr<DMDriveActionManager> actions;
    std::vector<std::shared_ptr<DMDriveManagerProtocol>> registered;
};

TEST_F(RealSleepWakeTest, PrepareForSleepUnmountsARealExternalDiskAndThenLetsTheMachineSleep) {
    if (std::string reason = test::LoopDisk::unavailableReason(); !reason.empty()) {
        GTEST_SKIP() << "Real-device test skipped: " << reason;
    }
    std::string pattern = (std::filesystem::temp_directory_path() / "hm-sleep-media-XXXXXX").string();
    const std::string mediaRoot = ::mkdtemp(pattern.data());
    LinuxPaths paths;
    paths.mountHelper = test::mountHelperWithMediaRoot(HARBORMIND_TEST_MOUNT_HELPER, mediaRoot);
    paths.mediaRoot = mediaRoot;
    Platform::setCurrent(std::make_shared<LinuxPlatform>(paths));
    {
        // Larger than the 100 MiB under which the drive list ignores a device.
        test::LoopDisk disk(200);
        ASSERT_TRUE(disk.partition("label: gpt\\n,150M\\n"));
        ASSERT_TRUE(disk.attach());
        ASSERT_TRUE(disk.announcePartitions());
        ASSERT_TRUE(disk.format(1, "mkfs.ext4 -q -L HMSLEEP"));

        auto local = DMLocalDriveManager::create();
        registerManager(local);
        const std::string volumeName = disk.partition(1);
        auto volume = [&] {
            auto drives = local->driveObjs();
            auto found = drives.find(volumeName);
            return found == drives.end() ? nullptr : found->second;
        };
        auto operations = std::make_shared<OwnDiskOperations>(std::make_shared<DMDriveManagerOperations>(config.get()),
                                                              disk.name());
        ASSERT_TRUE(waitFor([&] { return volume() && operations->externalRootDrives().size() == 1; }, 20))
            << "the test's disk " << disk.name() << " was not found as an external disk: " << describe(*local);
        ASSERT_EQ(operations->mount(volume()), 0);
        auto mounted = [&] {
            return MountTable::read("/proc/self/mountinfo").mountPointOf("", "/dev/" + volumeName).has_value();
        };
        ASSERT_TRUE(waitFor(mounted, 20));

        config->setAutomaticallyUnmountExternalDrivesOnSleep(true);
        follow(operations);
        logind->prepareForSleep(true);
        ASSERT_TRUE(watcher.waitForReports(1));
        EXPECT_TRUE(waitFor([&] { return !watcher.holdsSleep(); }, 20));
        EXPECT_FALSE(mounted());
        EXPECT_EQ(logind->heldLocks(), 0);

        // Awake again: the next sleep is held back again.
        logind->prepareForSleep(false);
        ASSERT_TRUE(watcher.waitForReports(2));
        EXPECT_EQ(logind->heldLocks(), 1);
        actions.reset();
    }
    std::error_code error;
    std::filesystem::remove_all(mediaRoot, error);
}

TEST_F(RealSleepWakeTest, PrepareForSleepFalseReconnectsASavedSambaDriveWhenTheSettingIsOn) {
    std::string whyNot;
    std::unique_ptr<test::SambaServer> server = test::SambaServer::start(whyNot);
    if (!server) {
        GTEST_SKIP() << "No Samba server: " << whyNot;
    }
    std::filesystem::create_directories(server->home());
    LinuxKeychainFiles keychains(server->home() + "/.keychains/default.keychain", KeychainKdfLimits::minimal());
    LinuxFileStore files;
    test::TestProcessLauncher processes;
    LinuxNetworkMounterOptions options;
    options.pollInterval = seconds(0.2);
    options.cacheFolder = server->home() + "/.cache/network";
    LinuxNetworkMounter mounter(processes, options);
    test::FolderScopedMounter scoped(mounter, server->home());
    Platform::setCurrent(
        std::make_shared<test::NetworkTestPlatform>(server->home(), &keychains, &files, &scoped, &processes));

    auto network = DMNetworkDriveManager::create({});
    registerManager(network);
    auto drive = network->makeDriveObject(DMNetworkDriveType::smb);
    drive->setName("data");
    drive->setHost(server->host());
    drive->setUserName(test::SambaServer::user);
    drive->setDir("/data");
    drive->setPassword(test::SambaServer::password);
    drive->setSaved(true);
    drive->refreshIdentifier();
    network->add(drive);

    config->setAutomaticallyConnectNetworkDrivesOnWake(true);
    follow(std::make_shared<DMDriveManagerOperations>(config.get()));
    logind->prepareForSleep(false);
    ASSERT_TRUE(watcher.waitForReports(1));
    EXPECT_TRUE(waitFor([&] { return drive->isMounted(); }, 60)) << "the saved drive did not connect";
    bool inTable = false;
    for (const NetworkMountEntry& entry : mounter.mountTable()) {
        inTable = inTable || entry.volume.mountPoint == drive->mountPoint().value_or("?");
    }
    EXPECT_TRUE(inTable);
    EXPECT_EQ(network->rootObjs().size(), 1u);

    actions.reset();
    for (const NetworkMountEntry& entry : mounter.mountTable()) {
        if (entry.volume.mountPoint.starts_with(server->home())) {
            mounter.unmountNow(entry.volume.mountPoint, NetworkMounter::Unmount::Force);
        }
    }
    // The manager reads the saved-drives file through this test's file store: it goes first.
    unregisterManagers();
}

}  // namespace
}  // namespace harbormind
