#pragma once

#include "platform/FileSystemInfo.h"

namespace harbormind {

// Space from statvfs (total = f_blocks * f_frsize, free = f_bavail * f_frsize, the space an
// ordinary user may still fill) and access rights from access(2), which also refuses
// writing on a read-only file system.
class LinuxFileSystemInfo final : public FileSystemInfo {
public:
    FileSystemSpace space(const std::string& mountPoint) override;
    bool exists(const std::string& path) override;
    bool isReadable(const std::string& path) override;
    bool isWritable(const std::string& path) override;
    bool canListFolder(const std::string& path) override;
};

}  // namespace harbormind
