#include "app/DMDisplayNames.h"

#include "app/DMTexts.h"

namespace harbormind {

std::string DMDisplayNames::of(DMDriveObjectFilesystem value) {
    switch (value) {
    case DMDriveObjectFilesystem::hfs_plus: return "HFS+";
    case DMDriveObjectFilesystem::hfs_plus_encrypted: return "HFS+ Encrypted";
    case DMDriveObjectFilesystem::ntfs: return "NTFS";
    case DMDriveObjectFilesystem::apfs: return "APFS";
    case DMDriveObjectFilesystem::apfs_encrypted: return "APFS Encrypted";
    case DMDriveObjectFilesystem::exfat: return "exFAT";
    case DMDriveObjectFilesystem::fat32: return "FAT32";
    case DMDriveObjectFilesystem::bitlocker_encrypted: return "BitLocker Encrypted";
    case DMDriveObjectFilesystem::corestorage: return "CoreStorage";
    case DMDriveObjectFilesystem::ext2: return "ext2";
    case DMDriveObjectFilesystem::ext3: return "ext3";
    case DMDriveObjectFilesystem::ext4: return "ext4";
    case DMDriveObjectFilesystem::btrfs: return "Btrfs";
    case DMDriveObjectFilesystem::xfs: return "XFS";
    case DMDriveObjectFilesystem::f2fs: return "F2FS";
    case DMDriveObjectFilesystem::swap: return "Linux Swap";
    case DMDriveObjectFilesystem::luks: return "LUKS Encrypted";
    default: return DMTexts::unknownValue;
    }
}

std::string DMDisplayNames::of(DMDriveObjectLocation value) {
    switch (value) {
    case DMDriveObjectLocation::internal: return "Internal";
    case DMDriveObjectLocation::external: return "External";
    default: return DMTexts::unknownValue;
    }
}

std::string DMDisplayNames::of(DMDriveObjectPartitionMap value) {
    switch (value) {
    case DMDriveObjectPartitionMap::guid: return "GUID Partition Map";
    case DMDriveObjectPartitionMap::mbr: return "Master Boot Record";
    case DMDriveObjectPartitionMap::apple: return "Apple Partition Map";
    default: return DMTexts::unknownValue;
    }
}

std::string DMDisplayNames::of(DMDriveObjectInterfaceType value) {
    switch (value) {
    case DMDriveObjectInterfaceType::pci: return "PCI";
    case DMDriveObjectInterfaceType::usb: return "USB";
    case DMDriveObjectInterfaceType::thunderbolt: return "ThunderBolt";
    case DMDriveObjectInterfaceType::firewire: return "Fire Wire";
    case DMDriveObjectInterfaceType::sata: return "SATA";
    case DMDriveObjectInterfaceType::dmg: return "Disk Image";
    default: return DMTexts::unknownValue;
    }
}

std::string DMDisplayNames::of(DMDriveObjectType value) {
    switch (value) {
    case DMDriveObjectType::fusiond: return "Fusion Drive";
    case DMDriveObjectType::ssd: return "Solid State Drive";
    case DMDriveObjectType::hdd: return "Hard Disk Drive";
    default: return DMTexts::unknownValue;
    }
}

std::string DMDisplayNames::of(DMDriveObjectCategory value) {
    switch (value) {
    case DMDriveObjectCategory::local: return DMTexts::localDriveSection;
    case DMDriveObjectCategory::network: return DMTexts::networkDriveSection;
    }
    return DMTexts::unknownValue;
}

}  // namespace harbormind
