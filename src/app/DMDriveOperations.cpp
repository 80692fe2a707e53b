#include "app/DMDriveOperations.h"

#include "app/DMDriveSnapshot.h"

namespace harbormind {

DMCloneDrive DMDriveOperations::cloneDrive(const Drive& drive) {
    DMDriveSnapshot snapshot = DMDriveSnapshotReader::read(drive);
    return {drive, snapshot.identifier, snapshot.name, snapshot.icon, snapshot.capacity};
}

}  // namespace harbormind
