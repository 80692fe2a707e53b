#pragma once

#include <cstdint>
#include <string>

namespace harbormind::clone {

// A stretch of the storage under a block device: bytes [begin, end) of a whole disk or of a
// loop device's backing file. `linear` is false where the mapping is not known (a
// device-mapper or RAID device counts as all of each device under it).
struct CloneStorageExtent {
    std::string base;  // "dev:MAJOR:MINOR" or "file:DEVICE:INODE"
    std::string what;  // the disk's name or the file's path, for messages
    std::uint64_t begin = 0;
    std::uint64_t end = 0;
    bool linear = true;

    bool overlaps(const CloneStorageExtent& other) const {
        return base == other.base && begin < other.end && other.begin < end;
    }
};

}  // namespace harbormind::clone
