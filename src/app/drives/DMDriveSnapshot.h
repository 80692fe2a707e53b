#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/widgets/DMCapacityMapSplittedItem.h"
#include "app/drives/DMDrivePredicates.h"
#include "drivemodel/DMDriveObjectActivityIndicator.h"
#include "drivemodel/DMDriveObjectCategory.h"
#include "drivemodel/DMDriveObjectInterfaceType.h"
#include "drivemodel/DMDriveObjectPartitionMap.h"
#include "drivemodel/DMDriveObjectType.h"

namespace harbormind {

class DMDriveObjectProtocol;

// Everything the window shows about one drive, read from the drive object in one go. Reading
// can wait for the platform and the helper daemon, so it happens away from the user-interface
// thread; the sidebar, the menus and the detail views then work from the snapshot.
struct DMDriveSnapshot {
    std::string identifier;
    std::string name;
    std::string icon;
    DMDriveObjectCategory category = DMDriveObjectCategory::local;
    bool isHidden = false;
    DMDriveObjectActivityIndicator activityIndicator = DMDriveObjectActivityIndicator::none();

    // Local drives: the object's own predicates and those of its logical drive object (the
    // container built on a physical store, or the object itself).
    DMDrivePredicates own;
    DMDrivePredicates logical;
    bool physicalIsWhole = false;
    bool logicalHasChildren = false;
    // A whole disk that carries its file system itself, without a partition table (a stick
    // formatted whole, a system disk mounted at /): shown and acted on as the volume it is.
    bool isWholeDiskVolume = false;
    bool isCloneInterrupted = false;
    DMDriveObjectFilesystem bitLockerFileSystem = DMDriveObjectFilesystem::unknown;
    std::int64_t capacity = 0;
    std::optional<std::int64_t> used;
    std::optional<std::int64_t> free;
    DMDriveObjectInterfaceType interfaceType = DMDriveObjectInterfaceType::unknown;
    DMDriveObjectType type = DMDriveObjectType::unknown;
    DMDriveObjectPartitionMap partitionMap = DMDriveObjectPartitionMap::unknown;
    // A whole disk's partitions (the children of its logical object), for its capacity map.
    std::vector<DMCapacityMapSplittedItem> partitions;

    // Network drives.
    std::string networkType;
    std::string url;
    bool isConnecting = false;
    // A disconnect waits for written files to reach the server.
    bool isDisconnecting = false;
    bool isSaved = false;

    bool isLocal() const { return category == DMDriveObjectCategory::local; }
    bool isNetwork() const { return category == DMDriveObjectCategory::network; }
};

// Reads snapshots from drive objects. Slow: call it away from the user-interface thread.
class DMDriveSnapshotReader {
public:
    static DMDriveSnapshot read(const std::shared_ptr<DMDriveObjectProtocol>& drive);
};

}  // namespace harbormind
