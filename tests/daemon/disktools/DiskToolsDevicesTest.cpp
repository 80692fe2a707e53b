#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <filesystem>
#include <fstream>

#include "daemon/linux/DiskToolsDevices.h"
#include "testsupport/LoopDisk.h"

namespace harbormind {
namespace {

namespace fs = std::filesystem;

// A mount table naming a loop disk's partition at the places that make it untouchable.
class DiskToolsDevicesTest : public testing::Test {
protected:
    void SetUp() override {
        if (auto why = test::LoopDisk::unavailableReason(); !why.empty()) {
            GTEST_SKIP() << why;
        }
        disk = std::make_unique<test::LoopDisk>(16);
        ASSERT_TRUE(disk->partition("label: gpt\\n,4M,L\\n,,L\\n"));
        ASSERT_TRUE(disk->attach());
        disk->announcePartitions();
        proc = fs::temp_directory_path() / ("hm-proc-" + std::to_string(::getpid()));
        fs::create_directories(proc / "self");
        std::ofstream(proc / "swaps") << "Filename Type Size Used Priority\n";
    }
    void TearDown() override {
        std::error_code error;
        fs::remove_all(proc, error);
    }
    std::string number(const std::string& name) {
        std::ifstream in("/sys/class/block/" + name + "/dev");
        std::string value;
        std::getline(in, value);
        return value;
    }
    void mountedAt(const std::string& name, const std::string& point) {
        std::ofstream(proc / "self/mountinfo") << "22 1 " << number(name) << " / " << point
                                                << " rw,relatime - ext4 /dev/" << name << " rw\n";
    }

    std::unique_ptr<test::LoopDisk> disk;
    fs::path proc;
};

TEST_F(DiskToolsDevicesTest, TheSystemTheHomeFolderAMountAndSwapEachRefuseTheWholeDisk) {
    DiskToolsDevices devices("/sys", proc.string(), "/home/ann");
    const std::string p2 = disk->partition(2);
    EXPECT_EQ(devices.diskOf(p2), disk->name());
    EXPECT_EQ(devices.partitionNumber(p2), 2);
    EXPECT_EQ(devices.partitionsOf(disk->name()).size(), 2u);
    EXPECT_EQ(devices.whyInUse(disk->name()), "");

    mountedAt(p2, "/");
    EXPECT_EQ(devices.whyInUse(disk->name()), p2 + " holds the running system (it is mounted at /)");
    mountedAt(p2, "/home");
    EXPECT_EQ(devices.whyInUse(disk->name()), p2 + " holds your home folder (it is mounted at /home)");
    // Another partition of the disk can still be named on its own.
    EXPECT_EQ(devices.whyInUse(disk->partition(1)), "");
    mountedAt(p2, "/media/ann/My\\040Stick");
    EXPECT_EQ(devices.whyInUse(p2), p2 + " is mounted at /media/ann/My Stick; unmount it first");
    std::ofstream(proc / "self/mountinfo") << "";
    std::ofstream(proc / "swaps") << "Filename Type Size Used Priority\n/dev/" << p2 << " partition 4092 0 -2\n";
    EXPECT_EQ(devices.whyInUse(disk->name()), p2 + " is in use as swap space");
}

}  // namespace
}  // namespace harbormind
