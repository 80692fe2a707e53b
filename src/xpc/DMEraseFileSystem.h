#pragma once

#include <optional>
#include <string>
#include <vector>

namespace harbormind {

// The file systems a disk or volume can be erased to. `luks2Ext4` is an ext4 file system
// inside a LUKS2 encrypted volume.
enum class DMEraseFileSystem { ext4, exfat, fat32, ntfs, luks2Ext4 };

struct DMEraseFileSystems {
    // The name on the bus and the command line ("ext4", "exfat", "fat32", "ntfs", "luks2-ext4").
    static std::string nameOf(DMEraseFileSystem fileSystem);
    static std::optional<DMEraseFileSystem> fromName(const std::string& name);
    // What a person reads ("ext4", "exFAT", "FAT32", "NTFS", "ext4, encrypted (LUKS2)").
    static std::string displayNameOf(DMEraseFileSystem fileSystem);
    static const std::vector<DMEraseFileSystem>& all();
};

}  // namespace harbormind
