#include <algorithm>

#include "support/DMByteCountFormatter.h"
#include "app/drives/DMDriveSnapshot.h"
#include "cleaning/ClearTools.h"
#include "cleaning/DriveClearTarget.h"
#include "drivemodel/DMLocalDriveObject.h"
#include "network/DMNetworkDriveObject.h"
#include "platform/DeviceNaming.h"
#include "platform/DirectoryWalker.h"
#include "platform/Platform.h"

namespace harbormind {
namespace {

bool mayClear(const std::optional<std::string>& mountPoint) {
    if (!mountPoint || !Platform::hasCurrent()) {
        return false;
    }
    Platform& platform = Platform::current();
    DirectoryWalker* walker = platform.directoryWalker();
    return walker != nullptr &&
           DriveClearTarget::check(*mountPoint, mountPoint, ClearTools::getUserPath(platform.users()),
                                   platform.deviceNaming(), *walker) == DriveClearTarget::Verdict::allowed;
}

DMDrivePredicates predicatesOf(const DMLocalDriveObject& drive) {
    DMDrivePredicates predicates;
    predicates.mountPoint = drive.mountPoint();
    predicates.fileSystem = drive.fileSystem();
    predicates.location = drive.location();
    predicates.status = drive.status();
    predicates.isMounted = predicates.mountPoint.has_value();
    predicates.onSystemMountPoint = predicates.mountPoint.has_value() && Platform::hasCurrent() &&
                                    Platform::current().deviceNaming().isProtectedMountPoint(*predicates.mountPoint);
    predicates.mayClear = mayClear(predicates.mountPoint);
    predicates.canMount = drive.canMount();
    predicates.canUnmount = drive.canUnmount();
    predicates.canEject = drive.canEject();
    predicates.canLock = drive.canLock();
    predicates.canUnlock = drive.canUnlock();
    predicates.canEncrypt = drive.canEncrypt();
    predicates.hasDetachedHeader = drive.hasDetachedHeader();
    return predicates;
}

void readLocal(const std::shared_ptr<DMLocalDriveObject>& local, DMDriveSnapshot& snapshot) {
    snapshot.own = predicatesOf(*local);
    auto logical = std::dynamic_pointer_cast<DMLocalDriveObject>(local->logicalDriveObj());
    if (!logical || logical == local) {
        snapshot.logical = snapshot.own;
        logical = local;
    } else {
        snapshot.logical = predicatesOf(*logical);
    }
    auto physical = std::dynamic_pointer_cast<DMLocalDriveObject>(local->physicalDriveObj());
    snapshot.physicalIsWhole = (physical ? physical : local)->isWhole();
    snapshot.logicalHasChildren = logical->hasChildren();
    snapshot.isWholeDiskVolume =
        snapshot.physicalIsWhole && !snapshot.logicalHasChildren &&
        (snapshot.own.fileSystem != DMDriveObjectFilesystem::unknown || snapshot.own.hasMountPoint());
    snapshot.capacity = local->capacity();
    snapshot.used = local->used();
    snapshot.free = local->free();
    snapshot.interfaceType = local->interfaceType();
    snapshot.type = local->type();
    snapshot.partitionMap = local->partitionMap();
    if (snapshot.own.isBitLocker()) {
        snapshot.bitLockerFileSystem = local->bitLockerFileSystem();
    }
    if (!snapshot.physicalIsWhole) {
        return;
    }
    // A whole disk: its interrupted clone and its partitions for the capacity map.
    snapshot.isCloneInterrupted = local->isCloneInterrupted();
    for (const auto& [identifier, child] : logical->children()) {
        auto partition = std::dynamic_pointer_cast<DMLocalDriveObject>(child);
        if (!partition) {
            continue;
        }
        DMCapacityMapSplittedItem item;
        item.title = partition->name();
        item.size = partition->capacity();
        auto partitionLogical = std::dynamic_pointer_cast<DMLocalDriveObject>(partition->logicalDriveObj());
        item.used = partition->used();
        if (!item.used && partitionLogical && partitionLogical != partition) {
            // A physical store: its container's volumes share the space.
            std::int64_t used = 0;
            bool known = false;
            for (const auto& [volumeName, volume] : partitionLogical->children()) {
                if (auto volumeObject = std::dynamic_pointer_cast<DMLocalDriveObject>(volume)) {
                    if (auto volumeUsed = volumeObject->used()) {
                        used += *volumeUsed;
                        known = true;
                    }
                }
            }
            if (known) {
                item.used = used;
            }
        }
        item.subtitle = DMByteCountFormatter::string(item.size);
        snapshot.partitions.push_back(item);
    }
}

std::string networkTypeName(const std::string& scheme) {
    std::string lower;
    for (char letter : scheme) {
        lower += static_cast<char>(letter >= 'A' && letter <= 'Z' ? letter - 'A' + 'a' : letter);
    }
    if (lower == "smb" || lower == "afp" || lower == "nfs" || lower == "ftp") {
        std::string upper;
        for (char letter : lower) {
            upper += static_cast<char>(letter - 'a' + 'A');
        }
        return upper;
    }
    if (lower == "webdav" || lower == "http" || lower == "https") {
        return "WebDAV";
    }
    return scheme;
}

void readNetwork(const DMNetworkDriveObject& drive, DMDriveSnapshot& snapshot) {
    snapshot.own.mountPoint = drive.mountPoint();
    snapshot.own.isMounted = snapshot.own.mountPoint.has_value();
    snapshot.capacity = drive.capacity();
    snapshot.used = drive.used();
    snapshot.free = drive.free();
    snapshot.networkType = networkTypeName(drive.scheme());
    snapshot.url = drive.urlString();
    snapshot.isConnecting = drive.isConnecting();
    snapshot.isDisconnecting = drive.isDisconnecting();
    snapshot.isSaved = drive.saved();
}

}  // namespace

DMDriveSnapshot DMDriveSnapshotReader::read(const std::shared_ptr<DMDriveObjectProtocol>& drive) {
    DMDriveSnapshot snapshot;
    if (!drive) {
        return snapshot;
    }
    snapshot.identifier = drive->identifier();
    snapshot.category = drive->category();
    snapshot.name = drive->name();
    snapshot.icon = drive->icon();
    snapshot.isHidden = drive->isHidden();
    snapshot.activityIndicator = drive->activityIndicator();
    if (auto local = std::dynamic_pointer_cast<DMLocalDriveObject>(drive)) {
        readLocal(local, snapshot);
    } else if (auto network = std::dynamic_pointer_cast<DMNetworkDriveObject>(drive)) {
        readNetwork(*network, snapshot);
    }
    return snapshot;
}

}  // namespace harbormind
