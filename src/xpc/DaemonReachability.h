#pragma once

#include <optional>
#include <string>

namespace harbormind {

// Whether the last exchange with the daemon reached it: a connection that failed or broke
// is remembered until a reply arrives again, so a window can tell "the helper is not running"
// from "the helper said no".
class DaemonReachability {
public:
    static void connectionFailed(const std::string& description);
    static void answered();
    // The failure of the last exchange, when it did not reach the daemon.
    static std::optional<std::string> failure();
};

}  // namespace harbormind
