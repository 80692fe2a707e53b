#pragma once

namespace harbormind {

// The partition scheme of a whole disk.
enum class DMDriveObjectPartitionMap {
    unknown,
    guid,
    mbr,
    apple,
};

}  // namespace harbormind
