#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/NetworkVolume.h"

namespace harbormind {

// One network file system in the kernel's mount table.
struct NetworkMountEntry {
    NetworkVolume volume;
    // The kernel's file-system type ("cifs", "nfs4", "fuse.rclone", ...).
    std::string type;
    std::string source;
    // The account a FUSE file system belongs to ("user_id=" among its options).
    std::optional<unsigned> fuseOwner;
};

// Reads the network file systems out of /proc/self/mountinfo: the kernel's cifs and nfs
// clients and the FUSE helpers that reach network shares. The remount URL is rebuilt from
// the mount source (and, for cifs, the user name among the options).
class NetworkMountTable {
public:
    static std::vector<NetworkMountEntry> parse(const std::string& mountInfo);
    // The entries a user may take up: FUSE file systems of other accounts are left out.
    static std::vector<NetworkMountEntry> ownedBy(std::vector<NetworkMountEntry> entries, unsigned user);
    // The entries of the mountinfo file at `path` that `user` may take up.
    static std::vector<NetworkMountEntry> read(const std::string& path, unsigned user);
    // Undoes the octal escapes (\040 for a space) of mountinfo fields.
    static std::string unescape(const std::string& field);
};

}  // namespace harbormind
