#pragma once

#include <string>
#include <vector>

#include "platform/linux/mounting/MountOwner.h"

namespace harbormind {

// The options a volume is mounted with for its owner. File systems without owners of their own
// (FAT, exFAT, NTFS) show every file as the owner's with no access for anyone else. A FUSE
// driver started by root serves only root unless told otherwise, so it is allowed to serve
// others while the kernel checks the owner and modes it reports (default_permissions); it names
// the device as its source, so the mount table tells which volume it is.
class MountOptions {
public:
    // The kernel's option text for `type` (blkid's name), empty when it needs none.
    static std::string kernel(const std::string& type, const MountOwner& owner);
    // The arguments of the FUSE program for `type`, mounting `node` at `mountPoint`.
    static std::vector<std::string> fuse(const std::string& type, const MountOwner& owner, const std::string& node,
                                         const std::string& mountPoint);
};

}  // namespace harbormind
