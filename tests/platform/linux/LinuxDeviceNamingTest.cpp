#include "platform/linux/disks/LinuxDeviceNaming.h"

#include <gtest/gtest.h>

#include "LinuxTestMachine.h"

namespace harbormind {
namespace {

using Relation = DeviceNaming::ChildRelation;

TEST(LinuxDeviceNamingTest, KernelPartitionNamesArePartitions) {
    EXPECT_TRUE(LinuxDeviceNaming::isPartitionName("sda", "sda1"));
    EXPECT_TRUE(LinuxDeviceNaming::isPartitionName("sda", "sda12"));
    EXPECT_TRUE(LinuxDeviceNaming::isPartitionName("nvme0n1", "nvme0n1p2"));
    EXPECT_TRUE(LinuxDeviceNaming::isPartitionName("mmcblk0", "mmcblk0p1"));
    EXPECT_TRUE(LinuxDeviceNaming::isPartitionName("loop3", "loop3p1"));
    // loop31 is another loop device, not a partition of loop3.
    EXPECT_FALSE(LinuxDeviceNaming::isPartitionName("loop3", "loop31"));
    EXPECT_FALSE(LinuxDeviceNaming::isPartitionName("sda", "sdab"));
    EXPECT_FALSE(LinuxDeviceNaming::isPartitionName("sda1", "dm-0"));
    EXPECT_FALSE(LinuxDeviceNaming::isPartitionName("nvme0n1", "nvme0n1p"));
    EXPECT_FALSE(LinuxDeviceNaming::isPartitionName("", "sda1"));
}

TEST(LinuxDeviceNamingTest, SysfsDecidesForDevicesItKnows) {
    test::FakeSysfs sysfs;
    test::buildMachine(sysfs);
    LinuxDeviceNaming naming(sysfs.sysfsRoot());
    EXPECT_EQ(naming.relation("sdb", "sdb1"), Relation::partition);
    EXPECT_EQ(naming.relation("loop3", "loop3p1"), Relation::partition);
    EXPECT_EQ(naming.relation("nvme0n1p2", "dm-0"), Relation::synthesizedDisk);
    // Gone from sysfs: the name decides.
    EXPECT_EQ(naming.relation("sdc", "sdc2"), Relation::partition);
    EXPECT_EQ(naming.relation("sdc2", "dm-7"), Relation::synthesizedDisk);
}

TEST(LinuxDeviceNamingTest, TheSystemAndItsPartsAreProtected) {
    LinuxDeviceNaming naming("/sys");
    EXPECT_TRUE(naming.isProtectedMountPoint("/"));
    EXPECT_TRUE(naming.isProtectedMountPoint("/boot/efi"));
    EXPECT_TRUE(naming.isProtectedMountPoint("/home"));
    EXPECT_TRUE(naming.isProtectedMountPoint("/usr"));
    EXPECT_FALSE(naming.isProtectedMountPoint("/System/Volumes/Data"));
    EXPECT_FALSE(naming.isProtectedMountPoint("/media/ann/STICK"));
}

}  // namespace
}  // namespace harbormind
