#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/PlatformValue.h"
#include "platform/sim/SimDiskDefinition.h"

namespace harbormind {

// A change to a simulated machine: the effect of a command, or a timed event.
struct SimAction {
    enum class Kind { AddDisk, RemoveDisk, Mount, Unmount, Eject, SetKey, RemoveKey, SetExternalAdapter };

    Kind kind = Kind::Mount;
    std::string bsdName;
    std::optional<std::string> path;  // Mount: where; absent means the disk's default place
    std::uint32_t options = 0;        // Unmount and Eject options
    std::string key;                  // SetKey and RemoveKey
    PlatformValue value;              // SetKey
    bool flag = false;                // SetExternalAdapter
    SimDiskDefinition disk;                 // AddDisk
};

}  // namespace harbormind
