#pragma once

#include <cstdint>

#include "platform/DiskDescription.h"
#include "platform/linux/disks/SysfsBlockDevice.h"
#include "platform/linux/disks/VolumeFacts.h"

namespace harbormind {

// What the disk watcher last read of a disk it shows.
struct KnownDisk {
    SysfsBlockDevice device;
    VolumeFacts facts;
    DiskDescription description;
    double appearanceTime = 0;
    std::uint64_t sequence = 0;  // order of discovery
};

}  // namespace harbormind
