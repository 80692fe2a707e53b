#pragma once

#include <string>
#include <utility>
#include <vector>

namespace harbormind {

// Whether the daemon answers on the system bus: its version and, per service name, whether
// the name answers a ping.
struct DBusDaemonStatus {
    bool reachable = false;
    std::string version;
    std::string error;  // why not reachable
    std::vector<std::pair<std::string, bool>> services;

    static DBusDaemonStatus probe();
};

}  // namespace harbormind
