#include "app/details/DMDisplayNames.h"

#include "app/common/DMTexts.h"
#include "app/common/DMTr.h"

namespace harbormind {

std::string DMDisplayNames::of(DMDriveObjectFilesystem value) {
    switch (value) {
    case DMDriveObjectFilesystem::hfs_plus: return DMTr::text("HFS+");
    case DMDriveObjectFilesystem::hfs_plus_encrypted: return DMTr::text("HFS+ Encrypted");
    case DMDriveObjectFilesystem::ntfs: return DMTr::text("NTFS");
    case DMDriveObjectFilesystem::apfs: return DMTr::text("APFS");
    case DMDriveObjectFilesystem::apfs_encrypted: return DMTr::text("APFS Encrypted");
    case DMDriveObjectFilesystem::exfat: return DMTr::text("exFAT");
    case DMDriveObjectFilesystem::fat32: return DMTr::text("FAT32");
    case DMDriveObjectFilesystem::bitlocker_encrypted: return DMTr::text("BitLocker Encrypted");
    case DMDriveObjectFilesystem::corestorage: return DMTr::text("CoreStorage");
    case DMDriveObjectFilesystem::ext2: return DMTr::text("ext2");
    case DMDriveObjectFilesystem::ext3: return DMTr::text("ext3");
    case DMDriveObjectFilesystem::ext4: return DMTr::text("ext4");
    case DMDriveObjectFilesystem::btrfs: return DMTr::text("Btrfs");
    case DMDriveObjectFilesystem::xfs: return DMTr::text("XFS");
    case DMDriveObjectFilesystem::f2fs: return DMTr::text("F2FS");
    case DMDriveObjectFilesystem::swap: return DMTr::text("Linux Swap");
    case DMDriveObjectFilesystem::luks: return DMTr::text("LUKS Encrypted");
    default: return DMTr::text(DMTexts::unknownValue);
    }
}

std::string DMDisplayNames::of(DMDriveObjectLocation value) {
    switch (value) {
    case DMDriveObjectLocation::internal: return DMTr::text("Internal");
    case DMDriveObjectLocation::external: return DMTr::text("External");
    default: return DMTr::text(DMTexts::unknownValue);
    }
}

std::string DMDisplayNames::of(DMDriveObjectPartitionMap value) {
    switch (value) {
    case DMDriveObjectPartitionMap::guid: return DMTr::text("GUID Partition Map");
    case DMDriveObjectPartitionMap::mbr: return DMTr::text("Master Boot Record");
    case DMDriveObjectPartitionMap::apple: return DMTr::text("Apple Partition Map");
    default: return DMTr::text(DMTexts::unknownValue);
    }
}

std::string DMDisplayNames::of(DMDriveObjectInterfaceType value) {
    switch (value) {
    case DMDriveObjectInterfaceType::pci: return DMTr::text("PCI");
    case DMDriveObjectInterfaceType::usb: return DMTr::text("USB");
    case DMDriveObjectInterfaceType::thunderbolt: return DMTr::text("ThunderBolt");
    case DMDriveObjectInterfaceType::firewire: return DMTr::text("Fire Wire");
    case DMDriveObjectInterfaceType::sata: return DMTr::text("SATA");
    case DMDriveObjectInterfaceType::dmg: return DMTr::text("Disk Image");
    default: return DMTr::text(DMTexts::unknownValue);
    }
}

std::string DMDisplayNames::of(DMDriveObjectType value) {
    switch (value) {
    case DMDriveObjectType::fusiond: return DMTr::text("Fusion Drive");
    case DMDriveObjectType::ssd: return DMTr::text("Solid State Drive");
    case DMDriveObjectType::hdd: return DMTr::text("Hard Disk Drive");
    default: return DMTr::text(DMTexts::unknownValue);
    }
}

std::string DMDisplayNames::of(DMDriveObjectCategory value) {
    switch (value) {
    case DMDriveObjectCategory::local: return DMTr::text(DMTexts::localDriveSection);
    case DMDriveObjectCategory::network: return DMTr::text(DMTexts::networkDriveSection);
    }
    return DMTr::text(DMTexts::unknownValue);
}

}  // namespace harbormind
