#pragma once

#include <optional>
#include <string>

#include "xpc/DMLocalDriveStatus.h"

namespace harbormind {

// A drive's CoreStorage logical volume as the lookup finds it: the identifier the unlock
// command accepts, the group's name when known, and whether the volume is unlocked.
struct DMCoreStorageVolume {
    std::string logicalVolumeUUID;
    std::optional<std::string> name;
    DMLocalDriveStatus status = DMLocalDriveStatus::invalid;
};

}  // namespace harbormind
