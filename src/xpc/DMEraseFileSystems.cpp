#include "xpc/DMEraseFileSystem.h"

namespace harbormind {

std::string DMEraseFileSystems::nameOf(DMEraseFileSystem fileSystem) {
    switch (fileSystem) {
    case DMEraseFileSystem::ext4: return "ext4";
    case DMEraseFileSystem::exfat: return "exfat";
    case DMEraseFileSystem::fat32: return "fat32";
    case DMEraseFileSystem::ntfs: return "ntfs";
    case DMEraseFileSystem::luks2Ext4: return "luks2-ext4";
    }
    return {};
}

std::optional<DMEraseFileSystem> DMEraseFileSystems::fromName(const std::string& name) {
    for (DMEraseFileSystem fileSystem : all()) {
        if (nameOf(fileSystem) == name) {
            return fileSystem;
        }
    }
    return std::nullopt;
}

std::string DMEraseFileSystems::displayNameOf(DMEraseFileSystem fileSystem) {
    switch (fileSystem) {
    case DMEraseFileSystem::ext4: return "ext4";
    case DMEraseFileSystem::exfat: return "exFAT";
    case DMEraseFileSystem::fat32: return "FAT32";
    case DMEraseFileSystem::ntfs: return "NTFS";
    case DMEraseFileSystem::luks2Ext4: return "ext4, encrypted (LUKS2)";
    }
    return {};
}

const std::vector<DMEraseFileSystem>& DMEraseFileSystems::all() {
    static const std::vector<DMEraseFileSystem> fileSystems{DMEraseFileSystem::ext4, DMEraseFileSystem::exfat,
                                                            DMEraseFileSystem::fat32, DMEraseFileSystem::ntfs,
                                                            DMEraseFileSystem::luks2Ext4};
    return fileSystems;
}

}  // namespace harbormind
