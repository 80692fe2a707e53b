#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/PlatformValue.h"

namespace harbormind {

// One disk of a simulated machine: its description dictionary and its media entry in the
// device registry. The media entry is keyed by `registryKey` (the BSD name unless given) and
// hangs under `registryParent`, which names a registry entry or another disk's media.
struct SimDiskDefinition {
    std::string bsdName;
    PlatformValue::Dictionary description;
    std::optional<std::string> registryKey;
    std::optional<std::string> registryParent;
    // Further parents of a media with several (a RAID set's members); they list it as a child.
    std::vector<std::string> otherRegistryParents;
    std::string registryName;  // the name in registry paths; the key when empty
    PlatformValue::Dictionary mediaProperties;
    // Where a mount without a path puts the volume; "/Volumes/" + volume name when absent.
    std::optional<std::string> mountPath;
    // False makes every mount request fail; absent: mountable when the disk has a volume kind.
    std::optional<bool> mountable;
    // A busy volume (files open on it) refuses an unmount or eject without the force option.
    bool busy = false;

    std::string mediaKey() const { return registryKey.value_or(bsdName); }
};

}  // namespace harbormind
