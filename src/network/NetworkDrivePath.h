#pragma once

#include <string>

namespace harbormind {

// The two path operations the network drives need: a name in a folder, and a path's last name.
class NetworkDrivePath {
public:
    static std::string join(std::string folder, const std::string& name);
    // Trailing slashes are not names: "/a/b/" gives "b"; "/" stays "/".
    static std::string lastComponent(std::string path);
};

}  // namespace harbormind
