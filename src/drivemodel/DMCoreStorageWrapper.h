#pragma once

#include <memory>
#include <optional>
#include <string>

#include "drivemodel/DMCoreStorageVolume.h"

namespace harbormind {

// Finds a drive's CoreStorage logical volume and unlocks it. The lookup combines the
// device registry (the drive's own "UUID", and below it the physical volume's
// "com.apple.corestorage.pv.uuid" and "com.apple.corestorage.lvg.name") with the volume
// tool's list of logical volume groups.
class DMCoreStorageWrapper {
public:
    static std::shared_ptr<DMCoreStorageWrapper> shared();

    // None when the drive belongs to no logical volume group.
    std::optional<DMCoreStorageVolume> lookup(const std::string& bsdName);
    // 0 when unlocked, -1 otherwise (an empty password runs nothing).
    int unlock(const std::string& bsdName, const std::string& password);
};

}  // namespace harbormind
