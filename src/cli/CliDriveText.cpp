#include "cli/CliDriveText.h"

#include <array>

#include "support/DMByteCountFormatter.h"

namespace harbormind {

std::string CliDriveText::text(DMDriveObjectFilesystem value) {
    static constexpr std::array<const char*, 18> names{
        "unknown", "hfs_plus", "hfs_plus_encrypted", "ntfs", "apfs", "apfs_encrypted", "exfat", "fat32",
        "bitlocker_encrypted", "corestorage", "ext2", "ext3", "ext4", "btrfs", "xfs", "f2fs", "swap", "luks"};
    auto index = static_cast<std::size_t>(value);
    return index < names.size() ? names[index] : "unknown";
}

std::string CliDriveText::text(DMLocalDriveStatus value) {
    switch (value) {
        case DMLocalDriveStatus::locked:
            return "locked";
        case DMLocalDriveStatus::unlocked:
            return "unlocked";
        case DMLocalDriveStatus::encrypting:
            return "encrypting";
        case DMLocalDriveStatus::invalid:
            break;
    }
    // The model's "invalid" lock status means no encryption of any kind it knows: said as such,
    // never as a fault of the drive.
    return "notEncrypted";
}

std::string CliDriveText::text(DMDriveObjectLocation value) {
    static constexpr std::array<const char*, 3> names{"unknown", "internal", "external"};
    return names.at(static_cast<std::size_t>(value));
}

std::string CliDriveText::text(DMDriveObjectInterfaceType value) {
    static constexpr std::array<const char*, 8> names{"unknown", "pci", "usb", "thunderbolt",
                                                      "firewire", "sas", "sata", "dmg"};
    return names.at(static_cast<std::size_t>(value));
}

std::string CliDriveText::text(DMDriveObjectType value) {
    static constexpr std::array<const char*, 4> names{"unknown", "fusiond", "ssd", "hdd"};
    return names.at(static_cast<std::size_t>(value));
}

std::string CliDriveText::text(DMDriveObjectPartitionMap value) {
    static constexpr std::array<const char*, 4> names{"unknown", "guid", "mbr", "apple"};
    return names.at(static_cast<std::size_t>(value));
}

std::string CliDriveText::size(std::optional<std::int64_t> bytes) {
    return bytes ? DMByteCountFormatter::string(*bytes) : "-";
}

}  // namespace harbormind
