#pragma once

#include <memory>
#include <string>

namespace harbormind {

class DMDriveObjectProtocol;

// The whole disk a drive is on: health, tables and disk images belong to it.
class DMWholeDisk {
public:
    // The topmost drive above `drive` (itself when it has no parent), following the physical
    // store of a disk built on a partition.
    static std::shared_ptr<DMDriveObjectProtocol> of(std::shared_ptr<DMDriveObjectProtocol> drive);
};

}  // namespace harbormind
