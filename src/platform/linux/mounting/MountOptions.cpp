#include "platform/linux/mounting/MountOptions.h"

namespace harbormind {

namespace {

std::string ids(const MountOwner& owner) {
    return "uid=" + std::to_string(owner.uid) + ",gid=" + std::to_string(owner.gid);
}

// Folders 0700 and files 0600 (no execute bit on files that never had one).
std::string ownerOnly(const MountOwner& owner) {
    return ids(owner) + ",dmask=0077,fmask=0177";
}

}  // namespace

std::string MountOptions::kernel(const std::string& type, const MountOwner& owner) {
    if (type == "vfat" || type == "exfat" || type == "ntfs") {
        return ownerOnly(owner);
    }
    return {};
}

std::vector<std::string> MountOptions::fuse(const std::string& type, const MountOwner& owner, const std::string& node,
                                            const std::string& mountPoint) {
    if (type == "vfat") {
        // fusefat knows no owners: libfuse reports the ids and the mask for every file, and its
        // own fsname and subtype replace the program's name in the mount table.
        return {"-o",
                "rw+,nosuid,nodev,allow_other,default_permissions," + ids(owner) + ",umask=0077,fsname=" + node +
                    ",subtype=fusefat",
                node, mountPoint};
    }
    // mount.exfat-fuse and ntfs-3g name the device and allow others themselves when run by root.
    return {node, mountPoint, "-o", "nosuid,nodev,allow_other,default_permissions," + ownerOnly(owner)};
}

}  // namespace harbormind
