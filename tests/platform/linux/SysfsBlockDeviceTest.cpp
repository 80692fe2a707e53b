#include "platform/linux/disks/SysfsBlockDevice.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "LinuxTestMachine.h"
#include "platform/linux/disks/DescribePass.h"
#include "platform/linux/disks/LinuxDiskDescriber.h"

namespace harbormind {
namespace {

class SysfsBlockDeviceTest : public testing::Test {
protected:
    void SetUp() override { test::buildMachine(sysfs); }
    test::FakeSysfs sysfs;
};

TEST_F(SysfsBlockDeviceTest, FoldersAreTheCanonicalOnesBehindTheLinks) {
    namespace fs = std::filesystem;
    auto partition = SysfsBlockDevice::read(sysfs.sysfsRoot(), "sdb1");
    ASSERT_TRUE(partition);
    EXPECT_EQ(partition->sysPath, fs::canonical(fs::path(sysfs.sysfsRoot()) / "class/block/sdb1").string());
    EXPECT_EQ(partition->wholeDiskName, "sdb");
    EXPECT_EQ(partition->hardwarePath,
              fs::canonical(fs::path(sysfs.sysfsRoot()) / "class/block/sdb/device").string());
    EXPECT_EQ(partition->vendor, "SanDisk");
    EXPECT_TRUE(partition->removable) << "the disk's attribute";
    auto mapping = SysfsBlockDevice::read(sysfs.sysfsRoot(), "dm-0");
    ASSERT_TRUE(mapping);
    EXPECT_EQ(mapping->slaves, std::vector<std::string>{"nvme0n1p2"});
    EXPECT_EQ(mapping->mapperName, "luks-1234");
    EXPECT_FALSE(mapping->hardwarePath);
    EXPECT_FALSE(SysfsBlockDevice::read(sysfs.sysfsRoot(), "../block"));
}

TEST_F(SysfsBlockDeviceTest, OnlyADeviceWhoseSizeReadsZeroIsEmpty) {
    EXPECT_TRUE(SysfsBlockDevice::isEmpty(sysfs.sysfsRoot(), "loop0"));
    EXPECT_FALSE(SysfsBlockDevice::isEmpty(sysfs.sysfsRoot(), "loop3"));
    EXPECT_FALSE(SysfsBlockDevice::isEmpty(sysfs.sysfsRoot(), "sdz")) << "unknown: read whole, found missing";
    EXPECT_FALSE(SysfsBlockDevice::isEmpty(sysfs.sysfsRoot(), ".."));
}

// Reading and probing many devices at once finds what probing them one after the other finds,
// the disk's partition table included.
TEST_F(SysfsBlockDeviceTest, ProbingAllAtOnceFindsWhatProbingOneByOneFinds) {
    auto image = [&](const std::string& name, const std::string& command) {
        std::string path = sysfs.devNode(name);
        return test::FakeSysfs::run("truncate -s 40M '" + path + "'") && test::FakeSysfs::run(command + " '" + path + "'");
    };
    if (!image("loop3", "echo 'label: gpt\n, 20M, L\n' | sfdisk -q") || !image("loop3p1", "mkfs.vfat -n ONE") ||
        !image("sdb1", "mkfs.vfat -n TWO") || !image("nvme0n1p1", "mkfs.vfat -n THREE")) {
        GTEST_SKIP() << "sfdisk or mkfs.vfat is not installed";
    }
    LinuxPaths paths;
    paths.sysfsRoot = sysfs.sysfsRoot();
    paths.devRoot = sysfs.devRoot();
    LinuxDiskDescriber describer(paths);
    const std::vector<std::string> names{"loop3", "loop3p1", "sdb1", "nvme0n1p1", "sdb", "loop0"};
    DescribePass pass(paths.sysfsRoot, paths.devRoot);
    pass.readAll(names, [&](const SysfsBlockDevice& device) -> std::optional<VolumeFacts> {
        return describer.probe(device, &pass);
    });
    EXPECT_FALSE(pass.device("loop0")) << "without medium, not read whole";
    EXPECT_FALSE(pass.facts("loop0"));
    for (const auto& name : names) {
        auto device = describer.device(name);
        if (!device) {
            continue;
        }
        VolumeFacts alone = describer.probe(*device);
        auto together = pass.facts(name);
        ASSERT_TRUE(together) << name;
        EXPECT_EQ(together->type, alone.type) << name;
        EXPECT_EQ(together->label, alone.label) << name;
        EXPECT_EQ(together->tableType, alone.tableType) << name;
        EXPECT_EQ(together->entryType, alone.entryType) << name;
        EXPECT_EQ(together->entryUuid, alone.entryUuid) << name;
    }
    EXPECT_EQ(pass.facts("loop3p1")->label, "ONE");
    EXPECT_EQ(pass.facts("loop3p1")->entryScheme, "gpt");
    EXPECT_EQ(pass.facts("loop3")->tableType, "gpt");
}

std::size_t openFiles() {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        ++count;
    }
    return count;
}

// The nodes opened to read ahead are closed once their device is probed: a device held open
// cannot have its partitions read again, and a loop device held open is not detached.
TEST_F(SysfsBlockDeviceTest, ProbingAllAtOnceLeavesNoDeviceOpen) {
    std::vector<std::string> names;
    for (const auto& name : {"loop3", "loop3p1", "sdb", "sdb1", "nvme0n1p1"}) {
        if (!test::FakeSysfs::run("truncate -s 8M '" + sysfs.devNode(name) + "'")) {
            GTEST_SKIP() << "truncate is not installed";
        }
        names.push_back(name);
    }
    LinuxPaths paths;
    paths.sysfsRoot = sysfs.sysfsRoot();
    paths.devRoot = sysfs.devRoot();
    LinuxDiskDescriber describer(paths);
    const std::size_t before = openFiles();
    DescribePass pass(paths.sysfsRoot, paths.devRoot);
    std::vector<int> nodesWhileProbing;
    pass.readAll(names, [&](const SysfsBlockDevice& device) -> std::optional<VolumeFacts> {
        nodesWhileProbing.push_back(pass.node(device.name));
        return describer.probe(device, &pass);
    });
    EXPECT_EQ(std::count(nodesWhileProbing.begin(), nodesWhileProbing.end(), -1), 0) << "each probed device was read ahead";
    EXPECT_EQ(openFiles(), before);
    for (const auto& name : names) {
        EXPECT_EQ(pass.node(name), -1) << name;
    }
}

}  // namespace
}  // namespace harbormind
