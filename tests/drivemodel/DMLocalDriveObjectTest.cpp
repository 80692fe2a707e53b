#include <gtest/gtest.h>

#include <algorithm>

#include "drivemodel/DMCoreStorageList.h"
#include "drivemodel/DMLocalDriveProperty.h"
#include "drivemodel/DriveModelFixture.h"

namespace harbormind::test {
namespace {

using Key = DiskDescriptionKey;
using ObjectTest = DriveModelTest;

class ClassificationTest : public DriveModelTest {
protected:
    void SetUp() override {
        DriveModelTest::SetUp();
        disk = addWholeDisk("disk2", "External", false, "USB", 1000000000000);
    }
    RegistryEntryId volume(const std::string& name, const std::string& kind) {
        return addVolume(name, disk, "Vol", kind, 500000000000);
    }
    RegistryEntryId disk = 0;
};

TEST_F(ClassificationTest, FileSystemsFollowKindEncryptionAndContent) {
    setDaemonAnswers({{"bitlocker", PlatformValue::Dictionary{{"isBitLockerDriveWithBsdname",
                                                               PlatformValue::Dictionary{{"disk2s4", true}}}}}});
    volume("disk2s1", "hfs");
    platform->setDescription("disk2s1", Key::mediaEncrypted, true);
    volume("disk2s2", "apfs");
    platform->setDescription("disk2s2", Key::mediaEncrypted, true);
    platform->setDescription("disk2s2", Key::mediaEncryptionDetail, 1);
    volume("disk2s3", "APFS");
    platform->setDescription("disk2s3", Key::mediaEncrypted, true);
    platform->setDescription("disk2s3", Key::mediaEncryptionDetail, 2);
    volume("disk2s4", "exfat");
    volume("disk2s5", "ntfs3");
    volume("disk2s6", "msdos");
    volume("disk2s7", "");
    platform->removeDescription("disk2s7", Key::volumeKind);
    platform->setDescription("disk2s7", Key::mediaContent, "41504653-0000-11AA-AA11-00306543ECAC");
    // A real APFS physical store's partition type (it showed as unknown before).
    volume("disk2s8", "");
    platform->removeDescription("disk2s8", Key::volumeKind);
    platform->setDescription("disk2s8", Key::mediaContent, "7C3457EF-0000-11AA-AA11-00306543ECAC");

    EXPECT_EQ(objectFor("disk2s1")->fileSystem(), DMDriveObjectFilesystem::hfs_plus_encrypted);
    EXPECT_EQ(objectFor("disk2s2")->fileSystem(), DMDriveObjectFilesystem::apfs);
    EXPECT_EQ(objectFor("disk2s3")->fileSystem(), DMDriveObjectFilesystem::apfs_encrypted);
    EXPECT_EQ(objectFor("disk2s4")->fileSystem(), DMDriveObjectFilesystem::bitlocker_encrypted);
    EXPECT_EQ(objectFor("disk2s5")->fileSystem(), DMDriveObjectFilesystem::ntfs);
    EXPECT_EQ(objectFor("disk2s6")->fileSystem(), DMDriveObjectFilesystem::fat32);
    EXPECT_EQ(objectFor("disk2s7")->fileSystem(), DMDriveObjectFilesystem::apfs);
    EXPECT_EQ(objectFor("disk2s8")->fileSystem(), DMDriveObjectFilesystem::apfs);
    // HFS+ and APFS are settled without asking the BitLocker service.
    for (const auto& call : daemon->calls()) {
        if (call.method == "isBitLockerDriveWithBsdname") {
            EXPECT_NE(call.arguments[0], "disk2s1");
            EXPECT_NE(call.arguments[0], "disk2s3");
        }
    }
    EXPECT_EQ(objectFor("disk2s3")->status(), DMLocalDriveStatus::locked);
}

TEST_F(ClassificationTest, WhereSignaturesAreReadTheDaemonIsAskedOnlyAboutADeviceNothingWasReadFrom) {
    platform->platformName = "linux";
    setDaemonAnswers({{"bitlocker", PlatformValue::Dictionary{{"isBitLockerDriveWithBsdname",
                                                               PlatformValue::Dictionary{{"*", true}}}}}});
    volume("disk2s1", "exfat");
    volume("disk2s2", "BitLocker");
    volume("disk2s3", "");
    platform->removeDescription("disk2s3", Key::volumeKind);
    platform->removeDescription("disk2s3", Key::mediaContent);

    EXPECT_EQ(objectFor("disk2s1")->fileSystem(), DMDriveObjectFilesystem::exfat);
    EXPECT_EQ(objectFor("disk2s2")->fileSystem(), DMDriveObjectFilesystem::bitlocker_encrypted);
    EXPECT_EQ(objectFor("disk2")->fileSystem(), DMDriveObjectFilesystem::unknown) << "a partition table";
    EXPECT_EQ(objectFor("disk2s3")->fileSystem(), DMDriveObjectFilesystem::bitlocker_encrypted)
        << "nothing read: the daemon's answer counts";
    std::vector<std::string> asked;
    for (const auto& call : daemon->calls()) {
        if (call.service == "bitlocker" && call.method != "bitLockerDriveStatusWithBsdname" &&
            call.method != "getBitLockerBSDNameWithBsdname") {
            asked.push_back(call.method + " " + call.arguments[0]);
        }
    }
    EXPECT_EQ(asked, std::vector<std::string>{"isBitLockerDriveWithBsdname disk2s3"});
}

TEST_F(ClassificationTest, BusLocationAndSchemeFollowTheDescription) {
    platform->setDescription("disk2", Key::deviceProtocol, "usb");
    auto whole = objectFor("disk2");
    EXPECT_EQ(whole->interfaceType(), DMDriveObjectInterfaceType::usb);
    EXPECT_EQ(whole->location(), DMDriveObjectLocation::external);
    EXPECT_EQ(whole->partitionMap(), DMDriveObjectPartitionMap::guid);
    EXPECT_EQ(whole->type(), DMDriveObjectType::ssd);
    EXPECT_EQ(whole->activityIndicator(), DMDriveObjectActivityIndicator::none());
    platform->setDescription("disk2", Key::deviceProtocol, "Thunderbolt");
    EXPECT_EQ(objectFor("disk2")->interfaceType(), DMDriveObjectInterfaceType::pci);
    platform->setDescription("disk2", Key::deviceProtocol, "Virtual Interface");
    EXPECT_EQ(objectFor("disk2")->interfaceType(), DMDriveObjectInterfaceType::dmg);
    platform->removeDescription("disk2", Key::deviceInternal);
    EXPECT_EQ(objectFor("disk2")->location(), DMDriveObjectLocation::unknown);

    // Without a local manager nothing is classified.
    auto orphan = DMLocalDriveObject::create("disk2");
    orphan->update();
    EXPECT_EQ(orphan->capacity(), 0);
    EXPECT_EQ(orphan->interfaceType(), DMDriveObjectInterfaceType::unknown);
}

TEST_F(ClassificationTest, NamesComeFromTheVolumeTheMediaOrNoName) {
    volume("disk2s1", "msdos");
    addVolume("disk2s2", disk, "", "msdos", 500000000000);
    platform->removeDescription("disk2s2", Key::volumeName);
    EXPECT_EQ(objectFor("disk2")->name(), "External");
    EXPECT_EQ(objectFor("disk2s1")->name(), "Vol");
    EXPECT_EQ(objectFor("disk2s2")->name(), "NO NAME");
}

TEST_F(ClassificationTest, FlagIsTheUUIDElseSerialBasePartitionAndSize) {
    RegistryEntryId withUUID = volume("disk2s1", "msdos");
    platform->addEntry(withUUID, {{"UUID", "0A1B2C3D-UUID"}, {"Base", 40960}, {"Partition ID", 1}});
    RegistryEntryId withoutUUID = volume("disk2s2", "msdos");
    platform->setProperty(withoutUUID, "Base", 20480);
    platform->setProperty(withoutUUID, "Partition ID", 2);
    platform->setProperty(*platform->parentEntry(disk), "USB Serial Number", "USB123");
    volume("disk2s3", "msdos");

    DMLocalDriveProperty first("disk2s1");
    first.readFlag();
    EXPECT_EQ(first.flag(), "0A1B2C3D-UUID") << "the UUID wins over the serial number";
    DMLocalDriveProperty second("disk2s2");
    second.readFlag();
    EXPECT_EQ(second.flag(), "USB123-20480-2-500000000000");
    DMLocalDriveProperty third("disk2s3");
    third.readFlag();
    EXPECT_EQ(third.flag(), std::nullopt) << "no Base or Partition ID";
    DMLocalDriveProperty gone("disk77");
    gone.readFlag();
    gone.readMediaType();
    EXPECT_EQ(gone.flag(), std::nullopt);
    EXPECT_EQ(gone.mediaType(), DMDriveObjectType::unknown);
}

TEST_F(ObjectTest, TheDataVolumeIsProtectedAndShowsTheSystemImage) {
    buildLaptop();
    startManager();
    auto data = std::dynamic_pointer_cast<DMLocalDriveObject>(manager->driveObjs().at("disk3s5"));
    auto root = std::dynamic_pointer_cast<DMLocalDriveObject>(manager->driveObjs().at("disk3s1"));
    auto stick = std::dynamic_pointer_cast<DMLocalDriveObject>(manager->driveObjs().at("disk4s1"));
    EXPECT_FALSE(data->canUnmount());
    EXPECT_FALSE(data->canEncrypt());
    EXPECT_EQ(data->icon(), "os_partition");
    EXPECT_EQ(data->kindIcon(), "internal_home");
    EXPECT_EQ(root->kindIcon(), "internal_system");
    EXPECT_FALSE(data->canEject());
    EXPECT_TRUE(stick->canUnmount());
    EXPECT_TRUE(stick->canEncrypt());
    EXPECT_TRUE(stick->canEject());
    EXPECT_FALSE(stick->canMount()) << "already mounted";
    EXPECT_EQ(stick->icon(), "partition");
    // A whole disk can be unmounted when one of its volumes can; the internal one cannot.
    EXPECT_TRUE(std::dynamic_pointer_cast<DMLocalDriveObject>(manager->driveObjs().at("disk4"))->canUnmount());
    EXPECT_FALSE(std::dynamic_pointer_cast<DMLocalDriveObject>(manager->driveObjs().at("disk0"))->canUnmount());
    EXPECT_EQ(manager->driveObjs().at("disk0")->icon(), "internal_drive");

    // Descriptions that give the mount point as a file URL keep the same rules.
    platform->setDescription("disk3s5", Key::volumePath, "file:///System/Volumes/Data/");
    platform->setDescription("disk4s1", Key::volumePath, "file://localhost/Volumes/MY%20STICK/");
    EXPECT_FALSE(data->canUnmount());
    EXPECT_FALSE(data->canEncrypt());
    EXPECT_EQ(stick->mountPoint(), "/Volumes/MY STICK");
    EXPECT_EQ(DiskDescription::pathFromText("file://localhost/"), "/");
    EXPECT_EQ(DiskDescription::pathFromText("file://server/share/"), std::nullopt);

    // Used space is what files take, free what the user may still write (as df shows them);
    // reserved blocks are neither.
    platform->spaces["/Volumes/MY STICK"] = FileSystemSpace{1000, 100, 600};
    stick->update();
    EXPECT_EQ(stick->used(), 600);
    EXPECT_EQ(stick->free(), 100);

    // An unlocked encrypted volume at the data mount point cannot be locked.
    platform->setDescription("disk3s5", Key::mediaEncrypted, true);
    platform->setDescription("disk3s5", Key::mediaEncryptionDetail, 2);
    data->update();
    EXPECT_EQ(data->status(), DMLocalDriveStatus::unlocked);
    EXPECT_FALSE(data->canLock());
}

TEST_F(ObjectTest, TheFilterShowsNamesContainingItInAnyCaseAndEmptyContainersAreHidden) {
    buildLaptop();
    startManager();
    auto objects = manager->driveObjs();
    EXPECT_FALSE(objects.at("disk4s1")->isHidden());
    manager->setFilter("STI");
    EXPECT_FALSE(objects.at("disk4s1")->isHidden()) << "STICK contains sti";
    EXPECT_TRUE(objects.at("disk3s5")->isHidden());
    manager->setFilter("data");
    EXPECT_FALSE(objects.at("disk3s5")->isHidden());
    manager->setFilter("");

    // The store shows while its container has volumes, and hides once it has none.
    EXPECT_FALSE(objects.at("disk0s2")->isHidden());
    platform->disappear("disk3s1");
    platform->disappear("disk3s5");
    settle();
    EXPECT_TRUE(objects.at("disk0s2")->isHidden());
    EXPECT_TRUE(objects.at("disk3")->isHidden());
}

TEST(DMCoreStorageListTest, ReadsGroupsAndIgnoresDamagedInput) {
    const std::string xml = R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict><key>CoreStorageLogicalVolumeGroups</key><array><dict>
<key>CoreStorageUUID</key><string>G1</string>
<key>CoreStoragePhysicalVolumes</key><array><dict><key>CoreStorageUUID</key><string>P1</string></dict></array>
<key>CoreStorageLogicalVolumeFamilies</key><array><dict><key>CoreStorageUUID</key><string>F1</string>
<key>CoreStorageLogicalVolumes</key><array><dict><key>CoreStorageUUID</key><string>L1</string></dict></array>
</dict></array></dict></array></dict></plist>)";
    auto list = DMCoreStorageList::parse(xml);
    ASSERT_EQ(list.groups().size(), 1U);
    EXPECT_EQ(list.groupWithPhysicalVolume("P1")->logicalVolumes, std::vector<std::string>{"L1"});
    EXPECT_TRUE(list.hasLogicalVolume("L1"));
    EXPECT_EQ(list.groupWithPhysicalVolume("L1"), nullptr);
    EXPECT_TRUE(DMCoreStorageList::parse(xml.substr(0, xml.size() / 2)).groups().empty());
    EXPECT_TRUE(DMCoreStorageList::parse("not a property list").groups().empty());
    EXPECT_TRUE(DMCoreStorageList::parse("").groups().empty());
}

TEST_F(ClassificationTest, ACoreStorageVolumeIsFoundThroughTheRegistryAndTheList) {
    const std::string xml = R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict><key>CoreStorageLogicalVolumeGroups</key><array><dict>
<key>CoreStorageUUID</key><string>G1</string>
<key>CoreStoragePhysicalVolumes</key><array><string>P1</string></array>
<key>CoreStorageLogicalVolumeFamilies</key><array><dict>
<key>CoreStorageLogicalVolumes</key><array><dict><key>CoreStorageUUID</key><string>L1</string></dict></array>
</dict></array></dict></array></dict></plist>)";
    platform->answerCommand("diskutil cs list -plist", xml);
    RegistryEntryId physical = addVolume("disk2s2", disk, "", "", 500000000000);
    platform->removeDescription("disk2s2", Key::volumeName);
    platform->removeDescription("disk2s2", Key::volumeKind);
    platform->addEntry(physical, {{"com.apple.corestorage.pv.uuid", "P1"}, {"com.apple.corestorage.lvg.name", "Secret"}});
    auto object = objectFor("disk2s2");
    EXPECT_EQ(object->fileSystem(), DMDriveObjectFilesystem::corestorage);
    EXPECT_EQ(object->status(), DMLocalDriveStatus::locked);
    EXPECT_EQ(object->name(), "Secret");
    EXPECT_EQ(object->icon(), "encrypted_drive");
    // The whole disk holding the physical volume is not CoreStorage itself: its unlock
    // would unlock the logical volume.
    EXPECT_EQ(objectFor("disk2")->fileSystem(), DMDriveObjectFilesystem::unknown);

    platform->answerCommand("diskutil coreStorage unlockVolume", "Unlocked\n");
    {
        std::optional<int> code;
        manager->unlock(object, "pw", false, [&](int value, std::optional<std::string>) { code = value; });
        EXPECT_EQ(code, 0);
        auto lines = platform->commandLines();
        EXPECT_NE(std::find(lines.begin(), lines.end(), "diskutil coreStorage unlockVolume 'L1' -passphrase 'pw'"),
                  lines.end());
    }
}

}  // namespace
}  // namespace harbormind::test
