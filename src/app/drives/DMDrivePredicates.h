#pragma once

#include <optional>
#include <string>

#include "drivemodel/DMDriveObjectFilesystem.h"
#include "drivemodel/DMDriveObjectLocation.h"
#include "xpc/DMLocalDriveStatus.h"

namespace harbormind {

// The predicates of one local drive object, read once so that menus and action bars can be
// built on the user-interface thread without asking the platform again.
struct DMDrivePredicates {
    std::optional<std::string> mountPoint;
    DMDriveObjectFilesystem fileSystem = DMDriveObjectFilesystem::unknown;
    DMDriveObjectLocation location = DMDriveObjectLocation::unknown;
    DMLocalDriveStatus status = DMLocalDriveStatus::invalid;
    bool isMounted = false;
    bool canMount = false;
    bool canUnmount = false;
    bool canEject = false;
    bool canLock = false;
    bool canUnlock = false;
    bool canEncrypt = false;
    // A LUKS volume whose header the daemon keeps apart (it opens only with that header).
    bool hasDetachedHeader = false;
    // Mounted where the running system or its data volume lives ("/" and its data volume).
    bool onSystemMountPoint = false;
    // Its mount point may be offered for drive clear (not a system volume, not the volume
    // holding the home folder).
    bool mayClear = false;

    bool isBitLocker() const { return fileSystem == DMDriveObjectFilesystem::bitlocker_encrypted; }
    bool hasMountPoint() const { return mountPoint.has_value(); }
};

}  // namespace harbormind
