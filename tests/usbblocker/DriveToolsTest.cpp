#include "usbblocker/DriveTools.h"

#include <gtest/gtest.h>

#include "platform/linux/disks/LinuxWholeDiskNames.h"
#include "usbblocker/FakeDisks.h"

namespace harbormind {
namespace {

using test::FakeMachine;

class DriveToolsTest : public testing::Test {
protected:
    DriveToolsTest() : tools([this] { return machine.session; }, machine.registry, nullptr) {
        machine.addDisk({.bsdName = "disk4", .mediaName = "SanDisk Cruzer", .mediaSize = 64'000'000'000, .partitions = 2});
    }

    FakeMachine machine;
    DriveTools tools;
};

TEST_F(DriveToolsTest, FindsThePhysicalWholeDiskOfAnyOfItsMedia) {
    EXPECT_EQ(tools.wholeDiskBSDName("disk4"), "disk4");
    EXPECT_EQ(tools.wholeDiskBSDName("disk4s2"), "disk4");
    EXPECT_EQ(tools.wholeDiskBSDName("disk9"), std::nullopt);
}

TEST_F(DriveToolsTest, AWalkThatFindsNoDriverOrNoNameFindsNothing) {
    // A medium whose ancestors hold no block storage driver.
    auto orphan = machine.registry.add(std::nullopt, {{"IOClass", "IOMedia"}, {"BSD Name", "disk7"}});
    auto orphanChild = machine.registry.add(orphan, {{"IOClass", "IOMedia"}, {"BSD Name", "disk7s1"}});
    machine.session->addDisk("disk7s1", {}, orphanChild);
    EXPECT_EQ(tools.wholeDiskBSDName("disk7s1"), std::nullopt);

    // The entry below the driver has no "BSD Name" of its own; a parent's does not count.
    auto driver = machine.registry.add(std::nullopt, {{"IOClass", "IOBlockStorageDriver"}, {"BSD Name", "wrong"}});
    auto nameless = machine.registry.add(driver, {{"IOClass", "IOMedia"}});
    auto scheme = machine.registry.add(nameless, {{"IOClass", "IOPartitionScheme"}});
    auto partition = machine.registry.add(scheme, {{"IOClass", "IOMedia"}, {"BSD Name", "disk8s1"}});
    machine.session->addDisk("disk8s1", {}, partition);
    EXPECT_EQ(tools.wholeDiskBSDName("disk8s1"), std::nullopt);

    // A disk with no registry entry.
    machine.session->addDisk("disk6", {}, std::nullopt);
    EXPECT_EQ(tools.wholeDiskBSDName("disk6"), std::nullopt);
}

TEST_F(DriveToolsTest, TheListEntryIsTheWholeDisksMediaNameAndSize) {
    EXPECT_EQ(tools.drive(std::optional<std::string>("disk4s1")), (Drive{"SanDisk Cruzer", 64'000'000'000}));
    EXPECT_EQ(tools.drive(DADisk("disk4s2")), (Drive{"SanDisk Cruzer", 64'000'000'000}));
    EXPECT_EQ(tools.drive(std::optional<std::string>()), std::nullopt);
    EXPECT_EQ(tools.drive(DADisk("disk9s1")), std::nullopt);
}

TEST_F(DriveToolsTest, ShortKeysComeFromTheNameAlone) {
    EXPECT_EQ(tools.shortKey("disk4s2"), "disk4");
    EXPECT_EQ(tools.shortKey("disk12"), "disk12");
    EXPECT_EQ(tools.shortKey("rdisk3s1"), "disk3");
    EXPECT_EQ(tools.shortKey("sdb1"), std::nullopt);
}

TEST(LinuxWholeDiskNamesTest, KernelNamesGiveTheirWholeDisk) {
    LinuxWholeDiskNames names;
    EXPECT_EQ(names.wholeDiskPrefix("sdb1"), "sdb");
    EXPECT_EQ(names.wholeDiskPrefix("sdaa12"), "sdaa");
    EXPECT_EQ(names.wholeDiskPrefix("vdc"), "vdc");
    EXPECT_EQ(names.wholeDiskPrefix("nvme0n1p2"), "nvme0n1");
    EXPECT_EQ(names.wholeDiskPrefix("nvme0n1"), "nvme0n1");
    EXPECT_EQ(names.wholeDiskPrefix("mmcblk0p1"), "mmcblk0");
    EXPECT_EQ(names.wholeDiskPrefix("loop3p1"), "loop3");
    EXPECT_EQ(names.wholeDiskPrefix("dm-0"), "dm-0");
    EXPECT_EQ(names.wholeDiskPrefix("eth0"), std::nullopt);
    EXPECT_EQ(names.wholeDiskPrefix("../sda"), std::nullopt);
}

}  // namespace
}  // namespace harbormind
