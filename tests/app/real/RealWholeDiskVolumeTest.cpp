// A stick formatted whole, without a partition table, on a real loop device: the window shows
// it as the volume it is, with the volume's actions, and mounting it (FAT32 through fusefat
// where the kernel has no vfat driver) is seen as mounted, answered in place when asked again,
// and undone for real. Skipped without root, loop devices or mkfs.vfat.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "app/drives/DMDriveAction.h"
#include "app/drives/DMDriveRules.h"
#include "app/drives/DMDriveSnapshot.h"
#include "app/details/DMViewControllerManager.h"
#include "drivemodel/DMLocalDriveManager.h"
#include "drivemodel/DMLocalDriveObject.h"
#include "platform/linux/LinuxPlatform.h"
#include "testsupport/LoopDisk.h"
#include "platform/linux/MediaRootHelper.h"
#include "platform/linux/disks/MountTable.h"
#include "support/Dispatch.h"
#include "support/RealClock.h"

namespace harbormind {
namespace {

class RealWholeDiskVolumeTest : public testing::Test {
protected:
    void SetUp() override {
        if (std::string reason = test::LoopDisk::unavailableReason(); !reason.empty()) {
            GTEST_SKIP() << "Real-device test skipped: " << reason;
        }
        if (!test::LoopDisk::shell("command -v mkfs.vfat")) {
            GTEST_SKIP() << "mkfs.vfat is not installed";
        }
        Clock::setCurrent(std::make_shared<RealClock>());
        Dispatch::main().adoptCurrentThread();
        std::string pattern = (std::filesystem::temp_directory_path() / "hm-media-XXXXXX").string();
        mediaRoot = ::mkdtemp(pattern.data());
        LinuxPaths paths;
        paths.mountHelper = test::mountHelperWithMediaRoot(HARBORMIND_TEST_MOUNT_HELPER, mediaRoot);
        paths.mediaRoot = mediaRoot;
        Platform::setCurrent(std::make_shared<LinuxPlatform>(paths));
        manager = DMLocalDriveManager::create();
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

    std::shared_ptr<DMLocalDriveObject> drive(const std::string& name) const {
        auto drives = manager->driveObjs();
        auto it = drives.find(name);
        return it == drives.end() ? nullptr : std::dynamic_pointer_cast<DMLocalDriveObject>(it->second);
    }
    bool mountedAt(const std::string& path) const {
        const MountTable table = MountTable::read("/proc/self/mountinfo");
        return std::any_of(table.entries().begin(), table.entries().end(),
                           [&](const MountEntry& entry) { return entry.mountPoint == path; });
    }
    int run(const std::function<void(DMCompletion)>& request) {
        int code = 99;
        request([&code](int result, std::optional<std::string>) { code = result; });
        return code;
    }

    std::string mediaRoot;
    std::shared_ptr<DMLocalDriveManager> manager;
    std::unique_ptr<test::LoopDisk> disk;
};

TEST_F(RealWholeDiskVolumeTest, AStickFormattedWholeIsAVolumeThatMountsOnceAndUnmountsForReal) {
    // Smaller disks are never shown.
    disk = std::make_unique<test::LoopDisk>(128);
    ASSERT_TRUE(test::LoopDisk::shell("mkfs.vfat -F 32 -n STICK '" + disk->image() + "'"));
    ASSERT_TRUE(disk->attach());
    const std::string name = disk->name();
    ASSERT_TRUE(Dispatch::main().runUntil(
        [&] { return drive(name) && drive(name)->fileSystem() == DMDriveObjectFilesystem::fat32; }, seconds(20)));
    auto stick = drive(name);

    DMDriveSnapshot snapshot = DMDriveSnapshotReader::read(stick);
    EXPECT_TRUE(snapshot.isWholeDiskVolume);
    EXPECT_EQ(DMViewControllerManager::kindOf(snapshot), DMViewControllerManager::Kind::partition);
    std::vector<std::string> menu;
    for (const DMMenuEntry& entry : DMDriveRules::sidebarMenu(snapshot, {})) {
        menu.push_back(entry.title);
    }
    EXPECT_NE(std::find(menu.begin(), menu.end(), "Mount"), menu.end());
    std::vector<std::string> enabled;
    for (const DMMacDockViewBaseItem& item : DMDriveRules::wholeDiskVolumeItems()) {
        if (DMDriveRules::partitionRule(static_cast<DMDriveAction>(item.action), snapshot, {})) {
            enabled.push_back(item.name);
        }
    }
    EXPECT_EQ(enabled, (std::vector<std::string>{"Mount", "First Aid", "Erase...", "Eject", "Clone"}));

    const std::string point = mediaRoot + "/root/STICK";
    ASSERT_EQ(run([&](DMCompletion done) { manager->mount(stick, done); }), 0);
    ASSERT_TRUE(Dispatch::main().runUntil([&] { return stick->mountPoint() == point; }, seconds(20)))
        << "the mounted volume is not seen as mounted";
    EXPECT_TRUE(DMDriveSnapshotReader::read(stick).isWholeDiskVolume);
    EXPECT_EQ(run([&](DMCompletion done) { manager->mount(stick, done); }), 0);
    EXPECT_FALSE(std::filesystem::exists(point + "1")) << "mounted a second time";

    EXPECT_EQ(run([&](DMCompletion done) { manager->unmount(stick, done); }), 0);
    EXPECT_FALSE(mountedAt(point));
    EXPECT_TRUE(Dispatch::main().runUntil([&] { return !stick->mountPoint(); }, seconds(20)));
}

}  // namespace
}  // namespace harbormind
