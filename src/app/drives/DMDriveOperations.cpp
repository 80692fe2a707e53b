#include "app/drives/DMDriveOperations.h"

#include "app/drives/DMDriveSnapshot.h"
#include "drivemodel/DMLocalDriveObject.h"

namespace harbormind {
namespace {

// The volumes of a disk: the leaves under its partitions and containers that carry a file
// system or are mounted (a disk formatted whole is its own volume).
void collectVolumes(const std::shared_ptr<DMLocalDriveObject>& object, std::vector<DMCloneDrive::Volume>& volumes,
                    int depth) {
    auto logical = std::dynamic_pointer_cast<DMLocalDriveObject>(object->logicalDriveObj());
    if (!logical) {
        logical = object;
    }
    if (depth < 4 && logical->hasChildren()) {
        for (const auto& [identifier, child] : logical->children()) {
            if (auto local = std::dynamic_pointer_cast<DMLocalDriveObject>(child)) {
                collectVolumes(local, volumes, depth + 1);
            }
        }
        return;
    }
    std::optional<std::string> mountPoint = logical->mountPoint();
    if (mountPoint || logical->fileSystem() != DMDriveObjectFilesystem::unknown) {
        volumes.push_back({logical->name(), mountPoint});
    }
}

}  // namespace

DMCloneDrive DMDriveOperations::cloneDrive(const Drive& drive) {
    DMDriveSnapshot snapshot = DMDriveSnapshotReader::read(drive);
    DMCloneDrive clone{drive, snapshot.identifier, snapshot.name, snapshot.icon, snapshot.capacity, {}};
    if (auto local = std::dynamic_pointer_cast<DMLocalDriveObject>(drive)) {
        collectVolumes(local, clone.volumes, 0);
    }
    return clone;
}

}  // namespace harbormind
