#include <gtest/gtest.h>

#include "agent/USBUdevCheck.h"
#include "usbblocker/USBListsFormat.h"

namespace harbormind {
namespace {

// The environment udev gives the program for a USB stick's partition; the disk's name is the
// platform's (LinuxBlockerDisk, tested against the disk descriptions).
class USBUdevCheckTest : public testing::Test {
protected:
    USBUdevCheckTest() {
        inputs.environment = {{"ACTION", "add"},      {"SUBSYSTEM", "block"}, {"DEVTYPE", "partition"},
                              {"DEVNAME", "/dev/sdc1"}, {"ID_BUS", "usb"}};
        inputs.blockerOn = true;
        inputs.lists = USBListsFormat::parse("WD Elements 25A2:1000__white\n");
        inputs.mediaName = "SanDisk Ultra";
    }

    USBUdevCheck::Inputs inputs;
};

TEST_F(USBUdevCheckTest, AnUnlistedUSBDiskIsRefusedAndEachOfItsPartitionsToo) {
    EXPECT_TRUE(USBUdevCheck::wouldRefuse(inputs));
    EXPECT_EQ(USBUdevCheck::answer(true), "UDISKS_IGNORE=1\nUDISKS_AUTO=0\n");
    inputs.environment["DEVTYPE"] = "disk";
    EXPECT_TRUE(USBUdevCheck::wouldRefuse(inputs));
    // Black-listed is refused just the same.
    inputs.lists = USBListsFormat::parse("SanDisk Ultra:30__black\n");
    EXPECT_TRUE(USBUdevCheck::wouldRefuse(inputs));
}

TEST_F(USBUdevCheckTest, WhiteListedOffOrNotUSBIsLeftAlone) {
    inputs.lists = USBListsFormat::parse("WD Elements 25A2:1000__white\nSanDisk Ultra:30__white\n");
    EXPECT_FALSE(USBUdevCheck::wouldRefuse(inputs));
    EXPECT_EQ(USBUdevCheck::answer(false), "");
    inputs.lists = USBListsFormat::parse("x\n");
    inputs.blockerOn = false;
    EXPECT_FALSE(USBUdevCheck::wouldRefuse(inputs));
    inputs.blockerOn = true;
    inputs.environment["ID_BUS"] = "ata";
    EXPECT_FALSE(USBUdevCheck::wouldRefuse(inputs));
    inputs.environment["ID_BUS"] = "usb";
    inputs.environment["SUBSYSTEM"] = "usb";
    EXPECT_FALSE(USBUdevCheck::wouldRefuse(inputs));
}

TEST_F(USBUdevCheckTest, ListsOrANameThatCannotBeReadRefuse) {
    inputs.lists = std::nullopt;
    EXPECT_TRUE(USBUdevCheck::wouldRefuse(inputs));
    inputs.lists = USBListsFormat::parse("SanDisk Ultra:30__white\n");
    inputs.mediaName = std::nullopt;
    EXPECT_TRUE(USBUdevCheck::wouldRefuse(inputs));
    // A name that only looks alike (trailing blank, other case) is not the listed disk.
    inputs.mediaName = "SanDisk Ultra";
    inputs.lists = USBListsFormat::parse("SanDisk Ultra :30__white\nsandisk ultra:30__white\n");
    EXPECT_TRUE(USBUdevCheck::wouldRefuse(inputs));
}

}  // namespace
}  // namespace harbormind
