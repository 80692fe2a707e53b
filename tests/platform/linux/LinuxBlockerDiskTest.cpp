#include "platform/linux/disks/LinuxBlockerDisk.h"

#include <gtest/gtest.h>

#include "LinuxTestMachine.h"
#include "platform/DiskDescriptionKey.h"
#include "platform/linux/disks/LinuxDiskDescriber.h"

namespace harbormind {
namespace {

using Key = DiskDescriptionKey;

// The USB blocker's view of a device (the udev check, the daemon's mount refusal) names and
// classes every disk of the recorded machine exactly as the disk descriptions do, so a name
// put on the lists from the window is the name the check and the daemon look for.
TEST(LinuxBlockerDiskTest, NamesAndClassesEveryDiskAsTheDescriptionsDo) {
    test::FakeSysfs sysfs;
    test::buildMachine(sysfs);
    sysfs.write("sys/class/block/sdb/diskseq", "41\n");
    LinuxPaths paths = test::recordedMachinePaths(sysfs, {});
    LinuxDiskDescriber describer(paths);
    auto describe = [&](const std::string& name) {
        auto device = describer.device(name);
        return describer.describe(*device, describer.probe(*device), MountTable::parse(""), 0);
    };
    for (const auto& [name, whole] : std::vector<std::pair<std::string, std::string>>{
             {"sdb1", "sdb"}, {"sdb", "sdb"}, {"nvme0n1p1", "nvme0n1"}, {"loop3p1", "loop3"}, {"dm-0", "dm-0"}}) {
        auto disk = LinuxBlockerDisk::read(paths, name);
        ASSERT_TRUE(disk) << name;
        EXPECT_EQ(disk->wholeDisk, whole);
        EXPECT_EQ(disk->mediaName, describe(whole).text(Key::mediaName).value_or("")) << name;
        EXPECT_EQ(disk->protocol, describe(name).text(Key::deviceProtocol)) << name;
        EXPECT_EQ(disk->internal, describe(name).boolean(Key::deviceInternal).value_or(true)) << name;
    }
    EXPECT_EQ(LinuxBlockerDisk::read(paths, "sdb1")->mediaName, "SanDisk Ultra");
    EXPECT_EQ(LinuxBlockerDisk::read(paths, "sdb1")->medium, "sdb#41");
    EXPECT_FALSE(LinuxBlockerDisk::read(paths, "loop0"));
    EXPECT_FALSE(LinuxBlockerDisk::read(paths, "../sdb"));
}

}  // namespace
}  // namespace harbormind
