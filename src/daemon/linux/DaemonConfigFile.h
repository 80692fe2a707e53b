#pragma once

#include <optional>
#include <string>

namespace harbormind {

// The daemon's configuration, "/etc/kestrane/drivemanagerd.conf": lines "key = value",
// "#" starts a comment. Its one key, "group", names the group whose members may call the
// daemon where polkit is absent. The file counts only when it is a regular file owned by the
// daemon's user (root) and writable by nobody else; otherwise it is ignored, so only root
// may call.
struct DaemonConfigFile {
    static constexpr const char* defaultPath = "/etc/kestrane/drivemanagerd.conf";

    std::optional<std::string> group;

    static DaemonConfigFile read(const std::string& path);
};

}  // namespace harbormind
