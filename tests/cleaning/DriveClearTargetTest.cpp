#include <gtest/gtest.h>

#include <map>

#include "TempTree.h"
#include "cleaning/DriveClearTarget.h"
#include "platform/DeviceNaming.h"
#include "platform/linux/disks/LinuxDeviceNaming.h"
#include "platform/linux/files/LinuxDirectoryWalker.h"

namespace harbormind {
namespace {

using Verdict = DriveClearTarget::Verdict;

// Answers lookups from a table of paths and the mounts they belong to.
class MountTableWalker final : public DirectoryWalker {
public:
    void folder(const std::string& path, std::uint64_t mountId) {
        EntryStat stat;
        stat.kind = EntryKind::Directory;
        stat.mountId = mountId;
        stat.device = mountId;
        entries[path] = stat;
    }
    Handle openFolder(const std::string&) override { return invalidHandle; }
    Handle openChildFolder(Handle, std::string_view) override { return invalidHandle; }
    void close(Handle) override {}
    std::optional<EntryStat> statHandle(Handle) override { return std::nullopt; }
    std::optional<EntryStat> statChild(Handle, std::string_view) override { return std::nullopt; }
    std::optional<EntryStat> statPath(const std::string& path) override {
        auto it = entries.find(path);
        return it == entries.end() ? std::nullopt : std::optional<EntryStat>(it->second);
    }
    bool list(Handle, DirectoryListing&) override { return false; }
    int removeChild(Handle, std::string_view, EntryKind) override { return 1; }

    std::map<std::string, EntryStat> entries;
};

class DriveClearTargetTest : public testing::Test {
protected:
    void SetUp() override {
        walker.folder("/", 1);
        walker.folder("/home", 2);
        walker.folder("/home/ann", 2);
        walker.folder("/media", 1);
        walker.folder("/media/ann", 1);
        walker.folder("/media/ann/STICK", 7);
        walker.folder("/media/ann/STICK/photos", 7);
        walker.folder("/data", 9);
    }
    Verdict check(const std::string& path, std::optional<std::string> mountPoint, const std::string& home = "/home/ann") {
        return DriveClearTarget::check(path, mountPoint, home, naming, walker);
    }

    MountTableWalker walker;
    DeviceNaming naming;
};

TEST_F(DriveClearTargetTest, AnExternalDrivesOwnMountPointIsAllowed) {
    EXPECT_EQ(check("/media/ann/STICK", "/media/ann/STICK"), Verdict::allowed);
    EXPECT_EQ(check("/media/ann/STICK/", "/media/ann/STICK"), Verdict::allowed);
}

TEST_F(DriveClearTargetTest, SystemFoldersAreNeverOfferedWhateverTheDriveSays) {
    for (const char* path : {"/", "/boot", "/boot/efi", "/usr", "/home", "/var", "/etc"}) {
        walker.folder(path, 40);
        EXPECT_EQ(check(path, std::string(path)), Verdict::systemVolume) << path;
    }
    // The platform's own protected mount points too (the data volume of the simulated machine).
    walker.folder("/System/Volumes/Data", 41);
    EXPECT_EQ(check("/System/Volumes/Data", "/System/Volumes/Data"), Verdict::systemVolume);
    LinuxDeviceNaming linuxNaming("/sys");
    EXPECT_TRUE(linuxNaming.isProtectedMountPoint("/usr"));
}

TEST_F(DriveClearTargetTest, TheVolumeHoldingTheHomeFolderIsRefusedWhereverItIsMounted) {
    EXPECT_EQ(check("/data", "/data", "/data/users/ann"), Verdict::homeVolume);
    walker.folder("/data/users/ann", 9);
    EXPECT_EQ(check("/data", "/data", "/data/users/ann"), Verdict::homeVolume);
    // A home that cannot be looked up fails closed.
    EXPECT_EQ(check("/media/ann/STICK", "/media/ann/STICK", "/nowhere"), Verdict::homeVolume);
}

TEST_F(DriveClearTargetTest, APathThatIsNotTheChosenDrivesMountPointIsRefused) {
    EXPECT_EQ(check("/media/ann/STICK", std::nullopt), Verdict::notTheDrivesMountPoint);
    EXPECT_EQ(check("/media/ann/STICK", "/media/ann/OTHER"), Verdict::notTheDrivesMountPoint);
    // A folder inside the drive is no mount point of its own.
    EXPECT_EQ(check("/media/ann/STICK/photos", "/media/ann/STICK/photos"), Verdict::notTheDrivesMountPoint);
    EXPECT_EQ(check("relative", "relative"), Verdict::notTheDrivesMountPoint);
    EXPECT_EQ(check("/gone", "/gone"), Verdict::notTheDrivesMountPoint);
}

TEST(DriveClearTargetRealTest, ATemporaryFolderIsNoMountPoint) {
    test::TempTree tree;
    LinuxDirectoryWalker walker;
    DeviceNaming naming;
    EXPECT_EQ(DriveClearTarget::check(tree.path(), tree.path(), "/nonexistent-home", naming, walker),
              Verdict::notTheDrivesMountPoint);
    EXPECT_EQ(DriveClearTarget::check("/", "/", "/nonexistent-home", naming, walker), Verdict::systemVolume);
}

}  // namespace
}  // namespace harbormind
