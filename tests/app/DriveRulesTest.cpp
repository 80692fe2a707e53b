#include <gtest/gtest.h>

#include <algorithm>

#include "support/DMByteCountFormatter.h"
#include "app/details/DMDisplayNames.h"
#include "app/drives/DMDriveAction.h"
#include "app/drives/DMDriveRuleReasons.h"
#include "app/drives/DMDriveRules.h"
#include "app/details/DMNetworkDriveViewController.h"
#include "app/common/DMTextFormat.h"
#include "app/common/DMTexts.h"
#include "platform/NetworkMountStatus.h"

namespace harbormind {
namespace {

std::vector<std::string> titles(const std::vector<DMMenuEntry>& entries) {
    std::vector<std::string> result;
    for (const auto& entry : entries) {
        result.push_back(entry.title);
    }
    return result;
}

bool contains(const std::vector<std::string>& list, const std::string& value) {
    return std::find(list.begin(), list.end(), value) != list.end();
}

DMDriveSnapshot volume(std::optional<std::string> mountPoint) {
    DMDriveSnapshot drive;
    drive.identifier = "disk4s1";
    drive.own.mountPoint = mountPoint;
    drive.own.isMounted = mountPoint.has_value();
    drive.own.fileSystem = DMDriveObjectFilesystem::exfat;
    drive.own.location = DMDriveObjectLocation::external;
    drive.own.canMount = !mountPoint;
    drive.own.canUnmount = mountPoint.has_value();
    drive.own.canEject = true;
    drive.own.canEncrypt = true;
    drive.logical = drive.own;
    return drive;
}

DMDriveRulesContext context(bool driverMissing) {
    DMDriveRulesContext rules;
    rules.driverMissing = driverMissing;
    return rules;
}

TEST(SidebarMenuRules, BitLockerVolumeWithoutDriverOffersUnlockButNeitherMountNorEject) {
    DMDriveSnapshot drive = volume(std::nullopt);
    drive.own.fileSystem = DMDriveObjectFilesystem::bitlocker_encrypted;
    drive.own.status = DMLocalDriveStatus::locked;
    drive.own.canUnlock = true;
    drive.logical = drive.own;

    auto missing = titles(DMDriveRules::sidebarMenu(drive, context(true)));
    EXPECT_TRUE(contains(missing, "Unlock"));
    EXPECT_FALSE(contains(missing, "Mount"));
    EXPECT_FALSE(contains(missing, "Eject"));

    // With the driver the same volume can be mounted and ejected.
    auto installed = titles(DMDriveRules::sidebarMenu(drive, context(false)));
    EXPECT_TRUE(contains(installed, "Mount"));
    EXPECT_TRUE(contains(installed, "Eject"));
}

TEST(SidebarMenuRules, UnlockedBitLockerWithoutDriverStillOffersUnlock) {
    DMDriveSnapshot drive = volume(std::string("/Volumes/SECRET"));
    drive.own.fileSystem = DMDriveObjectFilesystem::bitlocker_encrypted;
    drive.logical = drive.own;
    auto entries = titles(DMDriveRules::sidebarMenu(drive, context(true)));
    EXPECT_EQ(entries, (std::vector<std::string>{"Open", "Unlock", "Unmount", "Encrypt"}));
}

TEST(SidebarMenuRules, WholeDiskNeverOffersMount) {
    DMDriveSnapshot disk = volume(std::nullopt);
    disk.physicalIsWhole = true;
    disk.logical.canMount = true;
    EXPECT_FALSE(contains(titles(DMDriveRules::sidebarMenu(disk, context(false))), "Mount"));
    disk.physicalIsWhole = false;
    EXPECT_TRUE(contains(titles(DMDriveRules::sidebarMenu(disk, context(false))), "Mount"));
}

// A stick formatted whole, without a partition table: the disk is its volume, so it mounts,
// and its view bar offers the volume's actions and the disk's own (but one Unmount).
TEST(SidebarMenuRules, AWholeDiskVolumeOffersTheVolumesActionsAndTheDisks) {
    DMDriveSnapshot stick = volume(std::nullopt);
    stick.physicalIsWhole = true;
    stick.isWholeDiskVolume = true;
    stick.own.fileSystem = DMDriveObjectFilesystem::fat32;
    stick.logical = stick.own;
    EXPECT_TRUE(contains(titles(DMDriveRules::sidebarMenu(stick, context(false))), "Mount"));
    std::vector<std::string> enabled;
    std::vector<std::string> names;
    for (const DMMacDockViewBaseItem& item : DMDriveRules::wholeDiskVolumeItems()) {
        names.push_back(item.name);
        if (DMDriveRules::partitionRule(static_cast<std::uint8_t>(item.action), stick, context(false))) {
            enabled.push_back(item.name);
        }
    }
    EXPECT_EQ(std::count(names.begin(), names.end(), "Unmount"), 1);
    EXPECT_EQ(std::count(names.begin(), names.end(), "Erase..."), 1);
    EXPECT_EQ(std::count(names.begin(), names.end(), "Delete..."), 0);
    EXPECT_EQ(enabled, (std::vector<std::string>{"Mount", "First Aid", "Erase...", "Eject", "Clone"}));
    // A partition is neither ejected nor cloned from its own view.
    stick.isWholeDiskVolume = false;
    EXPECT_FALSE(DMDriveRules::partitionRule(DMDriveAction::eject, stick, context(false)));
    EXPECT_FALSE(DMDriveRules::partitionRule(DMDriveAction::clone, stick, context(false)));
}

TEST(SidebarMenuRules, EntriesFollowTheLogicalObjectInOrder) {
    DMDriveSnapshot store = volume(std::nullopt);
    // A physical store: its own predicates say nothing can be done; its container's do.
    store.own = DMDrivePredicates{};
    store.logical.mountPoint = "/Volumes/Data";
    store.logical.isMounted = true;
    store.logical.canUnmount = true;
    store.logical.canLock = true;
    store.logical.canMount = false;
    store.logical.canEncrypt = true;
    EXPECT_EQ(titles(DMDriveRules::sidebarMenu(store, context(false))),
              (std::vector<std::string>{"Open", "Lock", "Unmount", "Eject", "Encrypt"}));
}

// A volume whose encryption was interrupted cannot be mounted; "Encrypt" resumes it, from the
// menu and the action bar. One whose header the daemon keeps offers that header's export.
TEST(SidebarMenuRules, AnInterruptedEncryptionOffersTheResumeAndADetachedHeaderItsExport) {
    DMDriveSnapshot drive = volume(std::nullopt);
    drive.own.fileSystem = DMDriveObjectFilesystem::luks;
    drive.own.status = DMLocalDriveStatus::encrypting;
    drive.own.canMount = false;
    drive.own.canEncrypt = true;
    drive.own.hasDetachedHeader = true;
    drive.logical = drive.own;
    EXPECT_EQ(titles(DMDriveRules::sidebarMenu(drive, context(false))),
              (std::vector<std::string>{"Eject", "Encrypt", "Export Header..."}));
    EXPECT_TRUE(DMDriveRules::partitionRule(DMDriveAction::encrypt, drive, context(false)));

    // Once finished it is locked: unlock, not encrypt.
    drive.own.status = DMLocalDriveStatus::locked;
    drive.own.canEncrypt = false;
    drive.own.canUnlock = true;
    drive.logical = drive.own;
    EXPECT_EQ(titles(DMDriveRules::sidebarMenu(drive, context(false))),
              (std::vector<std::string>{"Unlock", "Eject", "Export Header..."}));
    EXPECT_FALSE(DMDriveRules::partitionRule(DMDriveAction::encrypt, drive, context(false)));
}

TEST(SidebarMenuRules, ActionsNotCarriedOutYetAreShownDisabled) {
    DMDriveSnapshot drive = volume(std::string("/Volumes/STICK"));
    DMDriveRulesContext rules = context(false);
    rules.isActionAvailable = [](std::uint8_t action, DMDriveObjectCategory) { return action != DMDriveAction::encrypt; };
    for (const DMMenuEntry& entry : DMDriveRules::sidebarMenu(drive, rules)) {
        EXPECT_EQ(entry.enabled, entry.title != "Encrypt") << entry.title;
    }
}

TEST(SidebarMenuRules, NetworkDriveEntriesDependOnMountPointAndSaving) {
    DMDriveSnapshot share;
    share.category = DMDriveObjectCategory::network;
    share.isSaved = true;
    EXPECT_EQ(titles(DMDriveRules::sidebarMenu(share, context(false))),
              (std::vector<std::string>{"Connect", "Edit", "Remove"}));
    share.own.mountPoint = "/Volumes/share";
    EXPECT_EQ(titles(DMDriveRules::sidebarMenu(share, context(false))),
              (std::vector<std::string>{"Open", "Disconnect"}));
    share.own.mountPoint.reset();
    share.isSaved = false;
    EXPECT_EQ(titles(DMDriveRules::sidebarMenu(share, context(false))), (std::vector<std::string>{"Connect"}));
}

TEST(PartitionBarRules, UnmountedVolumeDisablesOpenEncryptAndCleaning) {
    DMDriveSnapshot drive = volume(std::nullopt);
    for (std::uint8_t action : {DMDriveAction::open, DMDriveAction::encrypt, DMDriveAction::driveClean,
                                DMDriveAction::junkClean}) {
        EXPECT_FALSE(DMDriveRules::partitionRule(action, drive, context(false))) << int(action);
    }
    EXPECT_TRUE(DMDriveRules::partitionRule(DMDriveAction::mount, drive, context(false)));
}

TEST(PartitionBarRules, OnlyTheSystemVolumesEnableJunkClean) {
    DMDriveSnapshot system = volume(std::string("/"));
    system.own.onSystemMountPoint = true;
    EXPECT_TRUE(DMDriveRules::partitionRule(DMDriveAction::junkClean, system, context(false)));
    EXPECT_FALSE(DMDriveRules::partitionRule(DMDriveAction::junkClean, volume(std::string("/Volumes/STICK")),
                                             context(false)));
}

TEST(PartitionBarRules, FirstAidNeverOnInternalLockedUnknownOrDriverlessBitLocker) {
    DMDriveSnapshot drive = volume(std::string("/Volumes/STICK"));
    EXPECT_TRUE(DMDriveRules::partitionRule(DMDriveAction::firstAid, drive, context(false)));
    drive.own.location = DMDriveObjectLocation::internal;
    EXPECT_FALSE(DMDriveRules::partitionRule(DMDriveAction::firstAid, drive, context(false)));
    drive.own.location = DMDriveObjectLocation::unknown;
    EXPECT_TRUE(DMDriveRules::partitionRule(DMDriveAction::firstAid, drive, context(false)));
    drive.own.fileSystem = DMDriveObjectFilesystem::unknown;
    EXPECT_FALSE(DMDriveRules::partitionRule(DMDriveAction::firstAid, drive, context(false)));
    drive.own.fileSystem = DMDriveObjectFilesystem::bitlocker_encrypted;
    EXPECT_FALSE(DMDriveRules::partitionRule(DMDriveAction::firstAid, drive, context(true)));
    drive.own.canUnlock = true;
    EXPECT_FALSE(DMDriveRules::partitionRule(DMDriveAction::firstAid, drive, context(false)));
}

TEST(WholeDiskBarRules, CloneNeedsLocationPartitionsAndScheme) {
    DMDriveSnapshot disk;
    disk.own.location = DMDriveObjectLocation::external;
    disk.logicalHasChildren = true;
    disk.partitionMap = DMDriveObjectPartitionMap::mbr;
    EXPECT_TRUE(DMDriveRules::wholeDiskRule(DMDriveAction::clone, disk));
    disk.partitionMap = DMDriveObjectPartitionMap::unknown;
    EXPECT_FALSE(DMDriveRules::wholeDiskRule(DMDriveAction::clone, disk));
    disk.partitionMap = DMDriveObjectPartitionMap::guid;
    disk.logicalHasChildren = false;
    EXPECT_FALSE(DMDriveRules::wholeDiskRule(DMDriveAction::clone, disk));
    EXPECT_FALSE(DMDriveRules::wholeDiskRule(DMDriveAction::resumeClone, disk));
    disk.isCloneInterrupted = true;
    EXPECT_TRUE(DMDriveRules::wholeDiskRule(DMDriveAction::resumeClone, disk));
}

TEST(DisplayNames, EveryEnumerationHasItsWordsAndUnknown) {
    EXPECT_EQ(DMDisplayNames::of(DMDriveObjectFilesystem::hfs_plus_encrypted), "HFS+ Encrypted");
    EXPECT_EQ(DMDisplayNames::of(DMDriveObjectFilesystem::exfat), "exFAT");
    EXPECT_EQ(DMDisplayNames::of(DMDriveObjectFilesystem::bitlocker_encrypted), "BitLocker Encrypted");
    EXPECT_EQ(DMDisplayNames::of(DMDriveObjectFilesystem::unknown), "Unknown");
    EXPECT_EQ(DMDisplayNames::of(DMDriveObjectLocation::external), "External");
    EXPECT_EQ(DMDisplayNames::of(DMDriveObjectPartitionMap::mbr), "Master Boot Record");
    EXPECT_EQ(DMDisplayNames::of(DMDriveObjectPartitionMap::apple), "Apple Partition Map");
    EXPECT_EQ(DMDisplayNames::of(DMDriveObjectInterfaceType::thunderbolt), "Thunderbolt");
    EXPECT_EQ(DMDisplayNames::of(DMDriveObjectInterfaceType::firewire), "FireWire");
    EXPECT_EQ(DMDisplayNames::of(DMDriveObjectInterfaceType::dmg), "Disk Image");
    // A case without a word of its own.
    EXPECT_EQ(DMDisplayNames::of(DMDriveObjectInterfaceType::sas), "Unknown");
    EXPECT_EQ(DMDisplayNames::of(DMDriveObjectType::fusiond), "Fusion Drive");
    EXPECT_EQ(DMDisplayNames::of(DMDriveObjectType::unknown), "Unknown");
    EXPECT_EQ(DMDisplayNames::of(DMDriveObjectCategory::network), "Network Drive");
}

TEST(ByteCountFormatter, DecimalUnitsInFileStyle) {
    EXPECT_EQ(DMByteCountFormatter::string(0), "0 bytes");
    EXPECT_EQ(DMByteCountFormatter::string(1), "1 byte");
    EXPECT_EQ(DMByteCountFormatter::string(999), "999 bytes");
    EXPECT_EQ(DMByteCountFormatter::string(1000), "1 KB");
    EXPECT_EQ(DMByteCountFormatter::string(999'499), "999 KB");
    EXPECT_EQ(DMByteCountFormatter::string(999'999), "1 MB");
    EXPECT_EQ(DMByteCountFormatter::string(209'715'200), "209.7 MB");
    EXPECT_EQ(DMByteCountFormatter::string(500'277'790'720), "500.28 GB");
    EXPECT_EQ(DMByteCountFormatter::string(1'500'000'000'000), "1.5 TB");
    EXPECT_EQ(DMByteCountFormatter::string(-2'000), "-2 KB");
}

TEST(AlertTexts, PlaceholdersAreFilledExactly) {
    EXPECT_EQ(DMTextFormat::withInteger(DMTexts::mountFailedMinusOne, -1),
              "Failed to mount this drive,  please try again later. (error code: -1)");
    EXPECT_EQ(DMTextFormat::withInteger(DMTexts::errorCodeContactSupport, 5),
              "Error code: 5, please contact technical support.");
    EXPECT_EQ(DMTextFormat::withText(DMTexts::readOnlyTitleFormat, "ELEMENTS"),
              "Failed to open 'ELEMENTS' in read-write mode");
    // A placeholder inside the value stays as it is.
    EXPECT_EQ(DMTextFormat::withText("'%@' and '%@'", "%@"), "'%@' and '%@'");
    EXPECT_EQ(DMTextFormat::withTexts("?lang=%@&edition=%@&version=%@", {"en", "standard", "1.0"}),
              "?lang=en&edition=standard&version=1.0");
}

TEST(NetworkConnectFailure, CodesHaveTheirTexts) {
    EXPECT_EQ(DMNetworkDriveViewController::connectFailureText(80), "The password for the server is incorrect.");
    EXPECT_EQ(DMNetworkDriveViewController::connectFailureText(-128), "The operation was cancelled.");
    EXPECT_EQ(DMNetworkDriveViewController::connectFailureText(-1), "Host is down.");
    EXPECT_EQ(DMNetworkDriveViewController::connectFailureText(42), "The operation failed (error code 42). If this keeps happening, contact technical support.");
}

TEST(NetworkConnectFailure, WhatFailedAndWhatToCheckInsteadOfACodeToReport) {
    const std::string refused = "couldn't connect SMB: dial tcp 192.0.2.1:445: connect: connection refused";
    // A status without a text of its own says what the connecting program said.
    EXPECT_EQ(DMNetworkDriveViewController::connectFailureText(1, "lookup nas: server misbehaving"),
              "The connection failed: lookup nas: server misbehaving.");
    // A known status keeps its text; what to check and the program's words come under it.
    EXPECT_EQ(DMNetworkDriveViewController::connectFailureText(-1, refused), "Host is down.");
    EXPECT_EQ(DMNetworkDriveViewController::connectFailureDetail(-1, refused),
              NetworkMountStatus::advice(-1) + "\n\nDetails: " + refused);
    EXPECT_NE(NetworkMountStatus::advice(80).find("password"), std::string::npos);
    EXPECT_NE(NetworkMountStatus::advice(2).find("shared folder's name"), std::string::npos);
}

TEST(DisabledActionReasons, EachGreyedItemSaysWhichConditionFails) {
    DMDriveSnapshot unmounted = volume(std::nullopt);
    EXPECT_EQ(DMDriveRuleReasons::partition(DMDriveAction::open, unmounted, context(false)), "the volume is not mounted");
    EXPECT_EQ(DMDriveRuleReasons::partition(DMDriveAction::encrypt, unmounted, context(false)), "mount the volume first");
    EXPECT_EQ(DMDriveRuleReasons::partition(DMDriveAction::mount, unmounted, context(false)), "") << "it can be mounted";

    DMDriveSnapshot internal = volume("/");
    internal.own.location = DMDriveObjectLocation::internal;
    EXPECT_EQ(DMDriveRuleReasons::partition(DMDriveAction::firstAid, internal, context(false)),
              "First Aid checks external drives only");
    EXPECT_EQ(DMDriveRuleReasons::partition(DMDriveAction::mount, internal, context(false)),
              "the volume is already mounted");

    DMDriveSnapshot locked = volume(std::nullopt);
    locked.own.fileSystem = DMDriveObjectFilesystem::bitlocker_encrypted;
    locked.own.status = DMLocalDriveStatus::locked;
    locked.own.canUnlock = true;
    EXPECT_EQ(DMDriveRuleReasons::partition(DMDriveAction::mount, locked, context(true)),
              "needs the NTFS driver (ntfs-3g), which is not installed");
    EXPECT_EQ(DMDriveRuleReasons::partition(DMDriveAction::firstAid, locked, context(false)),
              "the volume is locked: unlock it first");

    DMDriveSnapshot disk;
    disk.own.location = DMDriveObjectLocation::external;
    disk.logicalHasChildren = false;
    EXPECT_EQ(DMDriveRuleReasons::wholeDisk(DMDriveAction::clone, disk), "the disk has no partitions to clone");
    EXPECT_EQ(DMDriveRuleReasons::wholeDisk(DMDriveAction::resumeClone, disk), "no clone onto this disk was interrupted");

    DMDriveSnapshot share;
    share.category = DMDriveObjectCategory::network;
    share.isSaved = true;
    share.own.mountPoint = "/home/ann/mnt/x/share";
    EXPECT_EQ(DMDriveRuleReasons::network(DMDriveAction::edit, share), "disconnect the drive first");
    EXPECT_EQ(DMDriveRuleReasons::network(DMDriveAction::mount, share), "the drive is already connected");
}

}  // namespace
}  // namespace harbormind
