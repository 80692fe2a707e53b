#include "platform/linux/disks/LinuxDiskDescriber.h"

#include <gtest/gtest.h>

#include "LinuxTestMachine.h"
#include "platform/DiskDescriptionKey.h"

namespace harbormind {
namespace {

using Key = DiskDescriptionKey;

class LinuxDiskDescriberTest : public testing::Test {
protected:
    void SetUp() override { test::buildMachine(sysfs); }

    LinuxPaths paths() const {
        LinuxPaths result;
        result.sysfsRoot = sysfs.sysfsRoot();
        result.devRoot = sysfs.devRoot();
        result.mountInfo = sysfs.mountInfo();
        return result;
    }

    DiskDescription describe(const std::string& name, const std::string& mountInfo = "") {
        LinuxDiskDescriber describer(paths());
        auto device = describer.device(name);
        EXPECT_TRUE(device) << name;
        return describer.describe(*device, describer.probe(*device), MountTable::parse(mountInfo), 12.5);
    }

    // An image file standing in for the device node; false when the tool is missing.
    bool image(const std::string& name, const std::string& command, int megabytes = 40) {
        std::string path = sysfs.devNode(name);
        return test::FakeSysfs::run("truncate -s " + std::to_string(megabytes) + "M '" + path + "'") &&
               test::FakeSysfs::run(command + " '" + path + "'");
    }

    test::FakeSysfs sysfs;
};

TEST_F(LinuxDiskDescriberTest, AUsbPartitionIsExternalEjectableAndNamesItsBus) {
    DiskDescription description = describe("sdb1");
    EXPECT_EQ(description.text(Key::mediaBSDName), "sdb1");
    EXPECT_EQ(description.integer(Key::mediaSize), 60061696LL * 512);
    EXPECT_EQ(description.boolean(Key::mediaWhole), false);
    EXPECT_EQ(description.boolean(Key::deviceInternal), false);
    EXPECT_EQ(description.boolean(Key::mediaEjectable), true);
    EXPECT_EQ(description.boolean(Key::mediaRemovable), true);
    EXPECT_EQ(description.text(Key::deviceProtocol), "USB");
    EXPECT_EQ(description.text(Key::deviceVendor), "SanDisk");
    EXPECT_EQ(description.text(Key::deviceModel), "Ultra");
    EXPECT_EQ(description.text(Key::busName), "pci0000:00");
    EXPECT_EQ(description.real(Key::appearanceTime), 12.5);
    EXPECT_FALSE(description.text(Key::volumePath));
}

TEST_F(LinuxDiskDescriberTest, AWholeDiskIsNamedByVendorAndModel) {
    DiskDescription description = describe("sdb");
    EXPECT_EQ(description.boolean(Key::mediaWhole), true);
    EXPECT_EQ(description.text(Key::mediaName), "SanDisk Ultra");
}

TEST_F(LinuxDiskDescriberTest, NvmeIsAnInternalPciExpressDisk) {
    DiskDescription description = describe("nvme0n1p1");
    EXPECT_EQ(description.text(Key::deviceProtocol), "PCI-EXPRESS");
    EXPECT_EQ(description.boolean(Key::deviceInternal), true);
    EXPECT_EQ(description.boolean(Key::mediaEjectable), false);
    EXPECT_EQ(describe("nvme0n1").text(Key::mediaName), "Samsung SSD 970 EVO");
}

TEST_F(LinuxDiskDescriberTest, ALoopImageIsAnExternalDiskImageNamedAfterItsFile) {
    DiskDescription disk = describe("loop3");
    EXPECT_EQ(disk.text(Key::deviceProtocol), "VIRTUAL INTERFACE");
    EXPECT_EQ(disk.boolean(Key::deviceInternal), false);
    EXPECT_EQ(disk.text(Key::mediaName), "stick.img");
    EXPECT_EQ(describe("loop3p1").boolean(Key::deviceInternal), false);
}

TEST_F(LinuxDiskDescriberTest, AnUnattachedLoopDeviceIsNoDisk) {
    LinuxDiskDescriber describer(paths());
    EXPECT_FALSE(describer.device("loop0"));
    EXPECT_FALSE(describer.device("sdz"));
    EXPECT_FALSE(describer.device("../sdb"));
}

TEST_F(LinuxDiskDescriberTest, AMappingTakesTheHardwareFactsOfTheDiskBelowIt) {
    DiskDescription description = describe("dm-0");
    EXPECT_EQ(description.boolean(Key::mediaWhole), true);
    EXPECT_EQ(description.text(Key::deviceProtocol), "PCI-EXPRESS");
    EXPECT_EQ(description.boolean(Key::deviceInternal), true);
    EXPECT_EQ(description.text(Key::mediaName), "luks-1234");
}

TEST_F(LinuxDiskDescriberTest, TheVolumePathComesFromTheMountTable) {
    DiskDescription description =
        describe("sdb1", "40 26 8:17 / /media/ann/STICK rw,nosuid - vfat /dev/sdb1 rw\n");
    EXPECT_EQ(description.text(Key::volumePath), "/media/ann/STICK");
}

// Regression: the whole disk holding "/" read as "unknown" for a user who may not open it.
TEST_F(LinuxDiskDescriberTest, AVolumeThatCannotBeProbedTakesItsMountedType) {
    DiskDescription description = describe("sdb1", "40 26 8:17 / / rw,relatime - ext4 /dev/sdb1 rw\n");
    EXPECT_EQ(description.text(Key::volumeKind), "ext4");
    EXPECT_EQ(description.text(Key::volumePath), "/");
}

TEST_F(LinuxDiskDescriberTest, AFatPartitionReadsAsMsdosWithItsLabelAndUuid) {
    if (!image("sdb1", "mkfs.vfat -n STICK -i 1a2b3c4d")) {
        GTEST_SKIP() << "mkfs.vfat is not installed";
    }
    DiskDescription description = describe("sdb1");
    EXPECT_EQ(description.text(Key::volumeKind), "msdos");
    EXPECT_EQ(description.text(Key::volumeType), "vfat");
    EXPECT_EQ(description.text(Key::volumeName), "STICK");
    EXPECT_EQ(description.text(Key::volumeUUID), "1A2B-3C4D");
    EXPECT_EQ(description.boolean(Key::mediaEncrypted), false);
}

TEST_F(LinuxDiskDescriberTest, AnExfatPartitionIsNeverAPartitionedDisk) {
    if (!image("sdb1", "mkfs.exfat -L Media")) {
        GTEST_SKIP() << "mkfs.exfat is not installed";
    }
    DiskDescription description = describe("sdb1");
    EXPECT_EQ(description.text(Key::volumeKind), "exfat");
    EXPECT_EQ(description.text(Key::volumeName), "Media");
    EXPECT_FALSE(description.text(Key::mediaContent));
}

TEST_F(LinuxDiskDescriberTest, AnExfatWholeDiskHasAVolumeAndNoPartitionTable) {
    if (!image("sdb", "mkfs.exfat -L Whole")) {
        GTEST_SKIP() << "mkfs.exfat is not installed";
    }
    DiskDescription description = describe("sdb");
    EXPECT_FALSE(description.text(Key::mediaContent));
    EXPECT_EQ(description.text(Key::volumeKind), "exfat");
}

TEST_F(LinuxDiskDescriberTest, AGptDiskReadsAsAGuidSchemeWithoutAVolume) {
    if (!image("loop3", "echo 'label: gpt\nlabel-id: 0B8F8D34-1E1C-4A4C-9C43-54A3E8C9D00A\n, 20M, L\n' | sfdisk -q")) {
        GTEST_SKIP() << "sfdisk is not installed";
    }
    DiskDescription description = describe("loop3");
    EXPECT_EQ(description.text(Key::mediaContent), "GUID_partition_scheme");
    EXPECT_EQ(description.text(Key::mediaUUID), "0B8F8D34-1E1C-4A4C-9C43-54A3E8C9D00A");
    EXPECT_FALSE(description.text(Key::volumeKind));
}

TEST_F(LinuxDiskDescriberTest, AnMbrDiskReadsAsAnFdiskScheme) {
    if (!image("sdb", "echo ', 20M, 7' | sfdisk -q --label dos")) {
        GTEST_SKIP() << "sfdisk is not installed";
    }
    EXPECT_EQ(describe("sdb").text(Key::mediaContent), "FDisk_partition_scheme");
}

TEST_F(LinuxDiskDescriberTest, ALuksPartitionIsEncryptedMedia) {
    if (!image("nvme0n1p2", "echo -n secret | cryptsetup luksFormat --type luks2 --pbkdf pbkdf2 --pbkdf-force-iterations 1000 -q --key-file=-", 20)) {
        GTEST_SKIP() << "cryptsetup is not installed";
    }
    DiskDescription description = describe("nvme0n1p2");
    EXPECT_EQ(description.boolean(Key::mediaEncrypted), true);
    EXPECT_EQ(description.text(Key::volumeKind), "luks");
}

TEST(LinuxDiskDescriberMappingTest, PartitionEntriesNameTheirContent) {
    SysfsBlockDevice partition;
    partition.isPartition = true;
    VolumeFacts gpt;
    gpt.entryScheme = "gpt";
    gpt.entryType = "0fc63daf-8483-4772-8e79-3d69d8477de4";
    EXPECT_EQ(LinuxDiskDescriber::mediaContentOf(partition, gpt), "0FC63DAF-8483-4772-8E79-3D69D8477DE4");
    VolumeFacts mbr;
    mbr.entryScheme = "dos";
    mbr.entryType = "0x7";
    EXPECT_EQ(LinuxDiskDescriber::mediaContentOf(partition, mbr), "Windows_NTFS");
    mbr.entryType = "0x42";
    EXPECT_EQ(LinuxDiskDescriber::mediaContentOf(partition, mbr), "0x42");
    // A partition carrying a table-like signature is still not a partitioned disk.
    VolumeFacts exfat;
    exfat.tableType = "dos";
    EXPECT_FALSE(LinuxDiskDescriber::mediaContentOf(partition, exfat));
}

TEST(LinuxDiskDescriberMappingTest, FileSystemTypesBecomeVolumeKinds) {
    EXPECT_EQ(LinuxDiskDescriber::volumeKindOf("vfat"), "msdos");
    EXPECT_EQ(LinuxDiskDescriber::volumeKindOf("hfsplus"), "hfs");
    EXPECT_EQ(LinuxDiskDescriber::volumeKindOf("ntfs"), "ntfs");
    EXPECT_EQ(LinuxDiskDescriber::volumeKindOf("ext4"), "ext4");
    EXPECT_EQ(LinuxDiskDescriber::volumeKindOf("crypto_LUKS"), "luks");
    EXPECT_EQ(LinuxDiskDescriber::volumeKindOf("BitLocker"), "bitlocker");
    EXPECT_FALSE(LinuxDiskDescriber::volumeKindOf(""));
}

TEST(LinuxDiskDescriberMappingTest, BusesAreClassifiedFromTheHardwarePath) {
    EXPECT_EQ(SysfsBlockDevice::busOfPath("/sys/devices/pci0000:00/0000:00:14.0/usb2/2-1/host6"), BlockBus::Usb);
    EXPECT_EQ(SysfsBlockDevice::busOfPath("/sys/devices/pci0000:00/0000:00:17.0/ata1/host0/target0:0:0"),
              BlockBus::Sata);
    EXPECT_EQ(SysfsBlockDevice::busOfPath("/sys/devices/platform/soc/mmc_host/mmc0/mmc0:0001"), BlockBus::Sd);
    EXPECT_EQ(SysfsBlockDevice::busOfPath("/sys/devices/pci0000:00/0000:00:02.0/virtio1"), BlockBus::Virtio);
    EXPECT_EQ(SysfsBlockDevice::busOfPath("/sys/devices/pci0000:00/0000:03:00.0/host0/port-0:0/end_device-0:0"),
              BlockBus::Sas);
    EXPECT_EQ(LinuxDiskDescriber::protocolOf(BlockBus::Nvme), "PCI-EXPRESS");
    EXPECT_FALSE(LinuxDiskDescriber::protocolOf(BlockBus::Unknown));
}

}  // namespace
}  // namespace harbormind
