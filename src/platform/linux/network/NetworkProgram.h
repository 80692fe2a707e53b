#pragma once

#include <optional>
#include <string>

namespace harbormind {

// Finds the programs that mount network shares (mount.cifs, rclone, fusermount): on the
// user's search path, then in the system's sbin folders.
class NetworkProgram {
public:
    static std::optional<std::string> find(const std::string& name);
};

}  // namespace harbormind
