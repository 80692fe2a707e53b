#pragma once

#include <string>

namespace harbormind {

// Whether the kernel offers device-mapper, which opening an encrypted volume and encrypting
// with the header in front need. A /dev/mapper/control node alone proves nothing (a
// container may have the node without the driver): the kernel lists the driver in
// /proc/misc or /proc/devices when it is there.
class DeviceMapperPresence {
public:
    static bool present(const std::string& procRoot = "/proc");
    // Why an operation needing it cannot be done here.
    static std::string missingReason(const std::string& what);
};

}  // namespace harbormind
