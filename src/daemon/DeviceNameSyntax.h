#pragma once

#include <string>

#include "daemon/DeviceArgumentCheck.h"

namespace harbormind {

// The first gate for a device a caller names, before the machine is asked: a name is a
// kernel device name ("sdb1", "nvme0n1p2", "dm-3"), a path is "/dev/" followed by such names.
// Refused: empty, too long, "..", NUL, newline or any other control byte, anything outside
// letters, digits and "._-:+@" (and "/" in a path).
class DeviceNameSyntax {
public:
    static constexpr std::size_t maxNameLength = 255;   // a file name's limit
    static constexpr std::size_t maxPathLength = 4095;  // a path's limit without its NUL

    // Empty when acceptable, else why not.
    static std::string problem(const std::string& argument, DeviceArgumentForm form);
};

}  // namespace harbormind
