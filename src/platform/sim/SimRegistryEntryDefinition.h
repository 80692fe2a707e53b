#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/PlatformValue.h"

namespace harbormind {

// A device-registry entry of a simulated machine that is not a disk's media: a controller,
// a bus, a partition scheme. `parent` names another entry or a disk's media key; paths and
// parent walks follow it.
struct SimRegistryEntryDefinition {
    std::string key;
    std::optional<std::string> parent;
    // Further parents of an entry with several; they list it as a child.
    std::vector<std::string> otherParents;
    std::string name;  // the name in registry paths; the key when empty
    PlatformValue::Dictionary properties;
};

}  // namespace harbormind
