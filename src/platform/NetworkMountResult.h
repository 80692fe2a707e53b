#pragma once

#include <string>
#include <vector>

#include "platform/NetworkMountStatus.h"

namespace harbormind {

// How a mount request ended: a NetworkMountStatus code and the paths it mounted.
struct NetworkMountResult {
    // A failure until the mount sets NetworkMountStatus::success: a result no one filled in never
    // reports a connection.
    int status = NetworkMountStatus::hostDown;
    std::vector<std::string> mountPoints;
    // What the mount helper said about a failure, for logs and the command line.
    std::string message;
};

}  // namespace harbormind
