#pragma once

namespace harbormind {

// The kind of medium under a drive.
enum class DMDriveObjectType {
    unknown,
    fusiond,
    ssd,
    hdd,
};

}  // namespace harbormind
