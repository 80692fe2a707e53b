#pragma once

#include <string>
#include <vector>

namespace harbormind {

// How a mount request ended: a NetworkMountStatus code and the paths it mounted.
struct NetworkMountResult {
    int status = 0;
    std::vector<std::string> mountPoints;
    // What the mount helper said about a failure, for logs and the command line.
    std::string message;
};

}  // namespace harbormind
