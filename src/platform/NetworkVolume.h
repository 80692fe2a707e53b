#pragma once

#include <optional>
#include <string>

namespace harbormind {

// A mounted network file system. `kind` names the protocol the way volume kinds always have:
// "smbfs", "nfs", "afpfs", "ftp", "webdav". `remountURL` is the share's URL with the user but
// never a password, when the mount tells it.
struct NetworkVolume {
    std::string mountPoint;
    std::string kind;
    std::optional<std::string> remountURL;

    bool operator==(const NetworkVolume&) const = default;
};

}  // namespace harbormind
