#pragma once

#include <optional>
#include <string>

#include "drivemodel/DMDriveObjectType.h"

namespace harbormind {

// Two facts the device registry holds about a device: a key that identifies the partition
// across attachments (`flag`, under which its password is saved) and the kind of medium.
class DMLocalDriveProperty {
public:
    explicit DMLocalDriveProperty(std::string bsdName);

    const std::string& bsdName() const { return bsdName_; }
    const std::optional<std::string>& flag() const { return flag_; }
    DMDriveObjectType mediaType() const { return mediaType_; }

    // The partition's "UUID"; without one, the device's serial number, the partition's
    // "Base", its "Partition ID" and the media size, joined by "-". Unchanged when the
    // disk cannot be read or neither form is complete.
    void readFlag();
    // From the nearest "Device Characteristics" above the medium: ssd for a "Medium Type"
    // of "Solid State", hdd for anything else, unknown when there is none.
    void readMediaType();

private:
    std::string bsdName_;
    std::optional<std::string> flag_;
    DMDriveObjectType mediaType_ = DMDriveObjectType::unknown;
};

}  // namespace harbormind
