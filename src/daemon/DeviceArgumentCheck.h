#pragma once

#include <optional>
#include <string>

#include "daemon/DeviceUse.h"

namespace harbormind {

enum class DeviceArgumentForm { name, path };

// Checks a device a caller names. The answer is the device in the same form, as the backend
// is to use it (the kernel's name, the block device's path), or nothing when refused.
class DeviceArgumentCheck {
public:
    virtual ~DeviceArgumentCheck() = default;
    virtual std::optional<std::string> check(const std::string& argument, DeviceArgumentForm form, DeviceUse use) = 0;
};

}  // namespace harbormind
