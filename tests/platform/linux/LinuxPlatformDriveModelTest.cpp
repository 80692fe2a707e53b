#include <gtest/gtest.h>
#include <sys/statvfs.h>

#include <algorithm>
#include <filesystem>
#include <mutex>

#include "LinuxTestMachine.h"
#include "testsupport/LoopDisk.h"
#include "drivemodel/DMDriveManagerDelegateProtocol.h"
#include "drivemodel/DMLocalDriveManager.h"
#include "drivemodel/DMLocalDriveObject.h"
#include "platform/linux/diskevents/LinuxDiskWatcher.h"
#include "platform/linux/LinuxPlatform.h"
#include "support/Dispatch.h"
#include "testsupport/VirtualClockTest.h"
#include "MediaRootHelper.h"

// The drive model on the Linux platform: a recorded machine (sysfs tree and image files) on
// the virtual clock, and real loop devices on the real clock (root only).

namespace harbormind {
namespace {

class Recorder final : public DMDriveManagerDelegateProtocol {
public:
    void driveAdded(std::shared_ptr<DMDriveObjectProtocol> drive) override { record("added", drive); }
    void driveRemoved(std::shared_ptr<DMDriveObjectProtocol> drive) override { record("removed", drive); }
    void driveMounted(std::shared_ptr<DMDriveObjectProtocol> drive) override { record("mounted", drive); }
    void driveUnmounted(std::shared_ptr<DMDriveObjectProtocol> drive) override { record("unmounted", drive); }
    void driveChanged(std::shared_ptr<DMDriveObjectProtocol> drive) override { record("changed", drive); }

    bool has(const std::string& event) {
        std::lock_guard lock(mutex);
        return std::find(events.begin(), events.end(), event) != events.end();
    }
    // Runs the main queue until the event arrived (the mount events come on it).
    bool waitFor(const std::string& event, double limit) {
        return Dispatch::main().runUntil([&] { return has(event); }, seconds(limit));
    }

    std::mutex mutex;
    std::vector<std::string> events;

private:
    void record(const std::string& kind, const std::shared_ptr<DMDriveObjectProtocol>& drive) {
        {
            std::lock_guard lock(mutex);
            events.push_back(kind + " " + drive->identifier());
        }
        Clock::current().notifyAll();
    }
};

std::vector<std::string> identifiers(const DMDriveManagerProtocol::DriveList& drives) {
    std::vector<std::string> names;
    for (const auto& drive : drives) {
        names.push_back(drive->identifier());
    }
    return names;
}

std::shared_ptr<DMLocalDriveObject> local(const std::shared_ptr<DMLocalDriveManager>& manager,
                                          const std::string& name) {
    auto drives = manager->driveObjs();
    auto it = drives.find(name);
    return it == drives.end() ? nullptr : std::dynamic_pointer_cast<DMLocalDriveObject>(it->second);
}

class LinuxRecordedMachineTest : public test::VirtualClockTest {
protected:
    void SetUp() override {
        VirtualClockTest::SetUp();
        test::buildMachine(sysfs);
        LinuxPaths paths = test::recordedMachinePaths(sysfs, "/bin/false");
        luks = image("nvme0n1p2", "echo -n secret | cryptsetup luksFormat --type luks2 --pbkdf pbkdf2 "
                                  "--pbkdf-force-iterations 1000 -q --key-file=-", 20);
        fat = image("sdb1", "mkfs.vfat -n STICK", 40);
        platform = std::make_shared<LinuxPlatform>(paths);
        Platform::setCurrent(platform);
        manager = DMLocalDriveManager::create(recorder);
        manager->start();
        ASSERT_TRUE(Dispatch::main().runUntil([&] { return recorder->has("added dm-0"); }, seconds(5)));
        settle();
    }
    void TearDown() override {
        settle();
        manager.reset();
        settle();
        Platform::shutDownAll();
        VirtualClockTest::TearDown();
    }

    void settle() { Dispatch::main().runUntil([] { return false; }, seconds(0.1)); }

    bool image(const std::string& name, const std::string& command, int megabytes) {
        std::string path = sysfs.devNode(name);
        return test::FakeSysfs::run("truncate -s " + std::to_string(megabytes) + "M '" + path + "'") &&
               test::FakeSysfs::run(command + " '" + path + "'");
    }

    test::FakeSysfs sysfs;
    bool luks = false;
    bool fat = false;
    std::shared_ptr<LinuxPlatform> platform;
    std::shared_ptr<Recorder> recorder = std::make_shared<Recorder>();
    std::shared_ptr<DMLocalDriveManager> manager;
};

TEST_F(LinuxRecordedMachineTest, DisksAreRootsWithTheirPartitionsAsChildren) {
    EXPECT_EQ(identifiers(manager->rootObjs()), (std::vector<std::string>{"loop3", "nvme0n1", "sdb"}));
    auto nvme = local(manager, "nvme0n1");
    ASSERT_TRUE(nvme);
    auto children = nvme->children();
    EXPECT_EQ(children.size(), 2u);
    EXPECT_TRUE(children.count("nvme0n1p1") && children.count("nvme0n1p2"));
    EXPECT_EQ(local(manager, "sdb1")->parent()->identifier(), "sdb");
    EXPECT_EQ(local(manager, "loop3p1")->parent()->identifier(), "loop3");
}

TEST_F(LinuxRecordedMachineTest, ADmCryptMappingIsADiskSynthesizedOnItsPartition) {
    auto mapping = local(manager, "dm-0");
    auto partition = local(manager, "nvme0n1p2");
    ASSERT_TRUE(mapping && partition);
    EXPECT_FALSE(mapping->parent());
    EXPECT_EQ(mapping->physicalDriveObj()->identifier(), "nvme0n1p2");
    EXPECT_EQ(partition->logicalDriveObj()->identifier(), "dm-0");
    EXPECT_EQ(partition->children().size(), 0u);
}

TEST_F(LinuxRecordedMachineTest, DrivesAreClassifiedFromTheirBusAndMedium) {
    auto nvme = local(manager, "nvme0n1");
    EXPECT_EQ(nvme->location(), DMDriveObjectLocation::internal);
    EXPECT_EQ(nvme->interfaceType(), DMDriveObjectInterfaceType::pci);
    EXPECT_EQ(nvme->type(), DMDriveObjectType::ssd);
    auto stick = local(manager, "sdb1");
    EXPECT_EQ(stick->location(), DMDriveObjectLocation::external);
    EXPECT_EQ(stick->interfaceType(), DMDriveObjectInterfaceType::usb);
    EXPECT_EQ(stick->type(), DMDriveObjectType::hdd);
    EXPECT_TRUE(stick->canEject());
    auto image = local(manager, "loop3");
    EXPECT_EQ(image->interfaceType(), DMDriveObjectInterfaceType::dmg);
    EXPECT_EQ(image->type(), DMDriveObjectType::unknown);
    EXPECT_EQ(image->location(), DMDriveObjectLocation::external);
    if (fat) {
        EXPECT_EQ(stick->fileSystem(), DMDriveObjectFilesystem::fat32);
        EXPECT_EQ(stick->name(), "STICK");
    }
    EXPECT_EQ(local(manager, "sdb")->name(), "SanDisk Ultra");
}

TEST_F(LinuxRecordedMachineTest, ALuksPartitionIsUnlockedWhileMappedAndLockedWithout) {
    if (!luks) {
        GTEST_SKIP() << "cryptsetup is not installed";
    }
    auto partition = local(manager, "nvme0n1p2");
    EXPECT_EQ(partition->fileSystem(), DMDriveObjectFilesystem::luks);
    EXPECT_EQ(partition->status(), DMLocalDriveStatus::unlocked);
    EXPECT_FALSE(partition->canEncrypt());

    sysfs.remove("dm-0");
    platform->diskWatcher().sync([&] {
        platform->diskWatcher().deviceEvent(UeventMessage{"remove", "", {{"SUBSYSTEM", "block"}, {"DEVNAME", "dm-0"}}});
    });
    ASSERT_TRUE(recorder->waitFor("removed dm-0", 5));
    ASSERT_TRUE(recorder->waitFor("changed nvme0n1p2", 5));
    EXPECT_EQ(partition->status(), DMLocalDriveStatus::locked);
    EXPECT_TRUE(partition->canUnlock());
    EXPECT_EQ(partition->logicalDriveObj()->identifier(), "nvme0n1p2");
}

// Real loop devices through the drive model.
class LinuxLoopDriveModelTest : public testing::Test {
protected:
    void SetUp() override {
        if (std::string reason = test::LoopDisk::unavailableReason(); !reason.empty()) {
            GTEST_SKIP() << "Real-device test skipped: " << reason;
        }
        Dispatch::main().adoptCurrentThread();
        std::string pattern = (std::filesystem::temp_directory_path() / "hm-media-XXXXXX").string();
        mediaRoot = ::mkdtemp(pattern.data());
        LinuxPaths paths;
        paths.mountHelper = test::mountHelperWithMediaRoot(HARBORMIND_TEST_MOUNT_HELPER, mediaRoot);
        paths.mediaRoot = mediaRoot;
        Platform::setCurrent(std::make_shared<LinuxPlatform>(paths));
        manager = DMLocalDriveManager::create(recorder);
        manager->start();
    }
    void TearDown() override {
        manager.reset();
        disk.reset();
        Dispatch::main().runUntil([] { return false; }, seconds(0.2));
        Platform::shutDownAll();
        if (!mediaRoot.empty()) {
            std::error_code error;
            std::filesystem::remove_all(mediaRoot, error);
        }
    }

    std::string mediaRoot;
    std::shared_ptr<Recorder> recorder = std::make_shared<Recorder>();
    std::shared_ptr<DMLocalDriveManager> manager;
    std::unique_ptr<test::LoopDisk> disk;
};

TEST_F(LinuxLoopDriveModelTest, AnImageIsAddedClassifiedMountedUnmountedAndRemoved) {
    disk = std::make_unique<test::LoopDisk>(400);
    ASSERT_TRUE(disk->partition("label: gpt\\n,150M,L\\n,150M,L\\n"));
    ASSERT_TRUE(disk->attach());
    ASSERT_TRUE(disk->announcePartitions());
    ASSERT_TRUE(disk->format(1, "mkfs.ext4 -q -F -L Projects"));
    const bool luks = disk->format(2, "echo -n secret | cryptsetup luksFormat --type luks2 --pbkdf pbkdf2 "
                                      "--pbkdf-force-iterations 1000 -q --key-file=-");
    const std::string name = disk->name();
    const std::string first = disk->partition(1);
    const std::string second = disk->partition(2);
    ASSERT_TRUE(recorder->waitFor("added " + name, 20));
    ASSERT_TRUE(recorder->waitFor("added " + first, 20));
    ASSERT_TRUE(recorder->waitFor("added " + second, 20));
    // The writes of mkfs reach the drive model as description changes.
    ASSERT_TRUE(Dispatch::main().runUntil(
        [&] { return local(manager, first)->fileSystem() == DMDriveObjectFilesystem::ext4; }, seconds(20)));

    auto roots = identifiers(manager->rootObjs());
    EXPECT_NE(std::find(roots.begin(), roots.end(), name), roots.end());
    auto whole = local(manager, name);
    EXPECT_EQ(whole->children().size(), 2u);
    EXPECT_EQ(whole->partitionMap(), DMDriveObjectPartitionMap::guid);
    EXPECT_EQ(whole->interfaceType(), DMDriveObjectInterfaceType::dmg);
    EXPECT_EQ(whole->location(), DMDriveObjectLocation::external);
    auto volume = local(manager, first);
    EXPECT_EQ(volume->parent()->identifier(), name);
    EXPECT_EQ(volume->name(), "Projects");
    EXPECT_TRUE(volume->canMount());
    if (luks) {
        ASSERT_TRUE(Dispatch::main().runUntil(
            [&] { return local(manager, second)->fileSystem() == DMDriveObjectFilesystem::luks; }, seconds(20)));
        EXPECT_EQ(local(manager, second)->status(), DMLocalDriveStatus::locked);
    }

    std::optional<int> mounted;
    manager->mount(volume, [&](int code, std::optional<std::string>) { mounted = code; });
    EXPECT_EQ(mounted, 0);
    ASSERT_TRUE(recorder->waitFor("mounted " + first, 20));
    std::string path = mediaRoot + "/root/Projects";
    EXPECT_EQ(volume->mountPoint(), path);
    // The space figures arrive with the description change that follows the mount.
    ASSERT_TRUE(Dispatch::main().runUntil([&] { return volume->free().has_value(); }, seconds(20)));
    struct statvfs facts {};
    ASSERT_EQ(::statvfs(path.c_str(), &facts), 0);
    const auto total = static_cast<std::int64_t>(facts.f_blocks * facts.f_frsize);
    const auto available = static_cast<std::int64_t>(facts.f_bavail * facts.f_frsize);
    const auto freeBlocks = static_cast<std::int64_t>(facts.f_bfree * facts.f_frsize);
    // As df shows them: free is what the user may write, used what files take (the blocks
    // reserved for root are neither).
    EXPECT_EQ(volume->free(), available);
    EXPECT_EQ(volume->used(), total - freeBlocks);

    std::optional<int> unmounted;
    manager->unmount(volume, [&](int code, std::optional<std::string>) { unmounted = code; });
    EXPECT_EQ(unmounted, 0);
    ASSERT_TRUE(recorder->waitFor("unmounted " + first, 20));
    // The event alone may be an earlier one: another program may have used the same loop
    // device name a moment before. The volume's own state is the judge.
    ASSERT_TRUE(Dispatch::main().runUntil([&] { return !volume->mountPoint(); }, seconds(20)));
    EXPECT_FALSE(std::filesystem::exists(path));

    std::optional<int> ejected;
    manager->eject(whole, [&](int code, std::optional<std::string>) { ejected = code; });
    EXPECT_EQ(ejected, 0);
    EXPECT_TRUE(recorder->waitFor("removed " + name, 20));
    EXPECT_TRUE(recorder->waitFor("removed " + first, 20));
    EXPECT_TRUE(recorder->waitFor("removed " + second, 20));
    EXPECT_FALSE(local(manager, name));
    EXPECT_FALSE(disk->isOurs());
}

}  // namespace
}  // namespace harbormind
