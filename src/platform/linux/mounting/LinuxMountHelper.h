#pragma once

#include <string>

#include "platform/linux/disks/LinuxPaths.h"

namespace harbormind {

// Finds the program that mounts, unmounts and ejects (harbormind-mount): the configured
// path, then HARBORMIND_MOUNT_HELPER, then beside the running program, then in the build
// tree, then by name on the PATH.
class LinuxMountHelper {
public:
    static std::string locate(const LinuxPaths& paths);
};

}  // namespace harbormind
