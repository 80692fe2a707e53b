#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace harbormind {

class DMDriveObjectProtocol;

// What an erase (or a partition's deletion, or a restored image) would destroy, read from the
// drive model away from the window's thread: the drive, its size, and the volumes on it with
// where each is mounted. The confirmation names all of it.
struct DMEraseTarget {
    struct Volume {
        std::string identifier;
        std::string name;
        std::optional<std::string> mountPoint;
    };

    std::string identifier;
    std::string name;
    std::int64_t capacity = 0;
    bool wholeDisk = false;
    // For a volume: the disk it is on.
    std::string diskName;
    std::vector<Volume> volumes;

    static std::optional<DMEraseTarget> read(const std::shared_ptr<DMDriveObjectProtocol>& drive);

    // "“WD Elements” (disk5, 2 TB)"
    std::string title() const;
    // "It holds ELEMENTS (disk5s1, mounted at /media/ann/ELEMENTS)." or that it holds nothing
    // the system can read.
    std::string contents() const;
    // The volumes that are mounted, which the erase cannot go ahead with.
    std::vector<Volume> mounted() const;
};

}  // namespace harbormind
