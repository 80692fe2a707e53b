#pragma once

#include <string>
#include <vector>

namespace harbormind {

// One request the in-process daemon received: the service key ("bitlocker", "ntfs",
// "checkDisk", "deviceClone", "usbBlocker"), the selector's first words and the arguments
// as text (flags as "true"/"false").
struct InProcessDaemonCall {
    std::string service;
    std::string method;
    std::vector<std::string> arguments;

    bool operator==(const InProcessDaemonCall& other) const = default;
};

}  // namespace harbormind
