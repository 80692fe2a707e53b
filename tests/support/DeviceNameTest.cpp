#include <gtest/gtest.h>

#include <string>

#include "support/DeviceName.h"

namespace harbormind {
namespace {

TEST(DeviceNameTest, KernelNamesAreTakenBareOrUnderDevAndGiveTheirNode) {
    for (const char* name : {"sdb1", "nvme0n1p2", "loop3p1", "dm-0", "mmcblk0p1", "cciss!c0d0", "disk4s1"}) {
        auto bare = DeviceName::fromName(name);
        ASSERT_TRUE(bare) << name;
        EXPECT_EQ(bare->name(), name);
        EXPECT_EQ(bare->path(), std::string("/dev/") + name);
        EXPECT_EQ(DeviceName::parse(bare->path()), bare) << name;
        EXPECT_EQ(DeviceName::parse(name), bare) << name;
    }
    EXPECT_TRUE(DeviceName::fromName(std::string(DeviceName::maximumLength, 'a')));
}

// Whatever a caller sends, "/dev/" + name stays a node directly inside /dev.
TEST(DeviceNameTest, NamesThatLeaveDevOrAreNoNameAreRefused) {
    for (const char* text : {"", "/dev/", "..", "/dev/..", ".hidden", "sdb/../../etc/passwd", "mapper/luks-1",
                             "/dev/mapper/luks-1", "sd b", "sdb1\n", "/dev//sdb", "dev/sdb", "sdb;rm"}) {
        EXPECT_FALSE(DeviceName::parse(text)) << text;
    }
    EXPECT_FALSE(DeviceName::fromName("/dev/sdb")) << "a bare name has no folder";
    EXPECT_FALSE(DeviceName::fromName(std::string(DeviceName::maximumLength + 1, 'a')));
    EXPECT_FALSE(DeviceName::fromName(std::string("sd\0b", 4)));
}

TEST(DeviceNameTest, TheRawFormIsReadOnlyWhereItIsAccepted) {
    EXPECT_EQ(DeviceName::parseAcceptingRaw("/dev/rdisk6")->name(), "disk6");
    EXPECT_EQ(DeviceName::parseAcceptingRaw("/dev/disk6")->name(), "disk6");
    EXPECT_EQ(DeviceName::parseAcceptingRaw("disk6")->name(), "disk6");
    EXPECT_FALSE(DeviceName::parseAcceptingRaw("/dev/r"));
    EXPECT_FALSE(DeviceName::parseAcceptingRaw("/dev/r../sda"));
    EXPECT_EQ(DeviceName::parse("/dev/rdisk6")->name(), "rdisk6") << "elsewhere it is an ordinary name";
}

}  // namespace
}  // namespace harbormind
