#pragma once

#include <optional>
#include <string>

namespace harbormind {

// The file system a device actually carries, read from its own signatures with libblkid
// (never from what a caller says it is).
class VolumeProbe {
public:
    // libblkid's TYPE ("ext4", "vfat", ...), or none when no single file system is found.
    static std::optional<std::string> fileSystemType(const std::string& devicePath);
};

}  // namespace harbormind
