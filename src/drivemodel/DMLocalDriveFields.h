#pragma once

#include <cstdint>
#include <optional>

#include "drivemodel/DMDriveObjectFilesystem.h"
#include "drivemodel/DMDriveObjectInterfaceType.h"
#include "drivemodel/DMDriveObjectLocation.h"
#include "drivemodel/DMDriveObjectPartitionMap.h"
#include "drivemodel/DMDriveObjectType.h"
#include "xpc/DMLocalDriveStatus.h"

namespace harbormind {

// What classifying a local device found out about it, kept until it is classified again.
struct DMLocalDriveFields {
    std::int64_t capacity = 0;
    std::optional<std::int64_t> used;
    std::optional<std::int64_t> free;
    DMDriveObjectLocation location = DMDriveObjectLocation::unknown;
    DMDriveObjectInterfaceType interfaceType = DMDriveObjectInterfaceType::unknown;
    DMDriveObjectType type = DMDriveObjectType::unknown;
    DMDriveObjectPartitionMap partitionMap = DMDriveObjectPartitionMap::unknown;
    DMDriveObjectFilesystem fileSystem = DMDriveObjectFilesystem::unknown;
    DMLocalDriveStatus status = DMLocalDriveStatus::invalid;
};

}  // namespace harbormind
