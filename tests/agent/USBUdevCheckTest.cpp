#include <gtest/gtest.h>

#include "agent/USBUdevCheck.h"

namespace harbormind {
namespace {

// The environment udev gives the program for a USB stick's partition, and its sysfs files.
class USBUdevCheckTest : public testing::Test {
protected:
    USBUdevCheckTest() {
        inputs.environment = {{"ACTION", "add"},
                              {"SUBSYSTEM", "block"},
                              {"DEVTYPE", "partition"},
                              {"DEVNAME", "/dev/sdc1"},
                              {"DEVPATH", "/devices/pci0000:00/0000:00:14.0/usb2/2-1/2-1:1.0/host6/target6:0:0/"
                                          "6:0:0:0/block/sdc/sdc1"},
                              {"ID_BUS", "usb"},
                              {"ID_VENDOR", "SanDisk"},
                              {"ID_MODEL", "Ultra"}};
        inputs.blockerOn = true;
        inputs.lists = "WD Elements 25A2:1000__white\n";
        inputs.sysRoot = "/sys";
        inputs.readFile = [this](const std::string& path) -> std::optional<std::string> {
            auto found = files.find(path);
            return found == files.end() ? std::nullopt : std::optional<std::string>(found->second);
        };
        const std::string disk = "/sys/devices/pci0000:00/0000:00:14.0/usb2/2-1/2-1:1.0/host6/target6:0:0/6:0:0:0/"
                                 "block/sdc";
        // sysfs pads the SCSI vendor and model with blanks.
        files[disk + "/device/vendor"] = "SanDisk \n";
        files[disk + "/device/model"] = "Ultra           \n";
    }

    std::map<std::string, std::string> files;
    USBUdevCheck::Inputs inputs;
};

TEST_F(USBUdevCheckTest, AnUnlistedUSBDiskIsRefusedAndEachOfItsPartitionsToo) {
    EXPECT_EQ(USBUdevCheck::mediaName(inputs), "SanDisk Ultra");
    EXPECT_TRUE(USBUdevCheck::wouldRefuse(inputs));
    EXPECT_EQ(USBUdevCheck::answer(true), "UDISKS_IGNORE=1\nUDISKS_AUTO=0\n");
    inputs.environment["DEVTYPE"] = "disk";
    inputs.environment["DEVPATH"] = inputs.environment["DEVPATH"].substr(0, inputs.environment["DEVPATH"].rfind('/'));
    EXPECT_EQ(USBUdevCheck::mediaName(inputs), "SanDisk Ultra");
    EXPECT_TRUE(USBUdevCheck::wouldRefuse(inputs));
    // Black-listed is refused just the same.
    inputs.lists = "SanDisk Ultra:30__black\n";
    EXPECT_TRUE(USBUdevCheck::wouldRefuse(inputs));
}

TEST_F(USBUdevCheckTest, WhiteListedOffOrNotUSBIsLeftAlone) {
    inputs.lists = "WD Elements 25A2:1000__white\nSanDisk Ultra:30__white\n";
    EXPECT_FALSE(USBUdevCheck::wouldRefuse(inputs));
    EXPECT_EQ(USBUdevCheck::answer(false), "");
    inputs.lists = "x\n";
    inputs.blockerOn = false;
    EXPECT_FALSE(USBUdevCheck::wouldRefuse(inputs));
    inputs.blockerOn = true;
    inputs.environment["ID_BUS"] = "ata";
    EXPECT_FALSE(USBUdevCheck::wouldRefuse(inputs));
    inputs.environment["ID_BUS"] = "usb";
    inputs.environment["SUBSYSTEM"] = "usb";
    EXPECT_FALSE(USBUdevCheck::wouldRefuse(inputs));
}

TEST_F(USBUdevCheckTest, AListsFileThatCannotBeReadRefuses) {
    inputs.lists = std::nullopt;
    EXPECT_TRUE(USBUdevCheck::wouldRefuse(inputs));
    // A name that only looks alike (trailing blank, other case) is not the listed disk.
    inputs.lists = "SanDisk Ultra :30__white\nsandisk ultra:30__white\n";
    EXPECT_TRUE(USBUdevCheck::wouldRefuse(inputs));
}

}  // namespace
}  // namespace harbormind
