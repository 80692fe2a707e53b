#pragma once

#include <string>
#include <vector>

namespace harbormind::test {

// The kernel's mount table as this process sees it (/proc/self/mountinfo).
class KernelMounts {
public:
    struct Entry {
        std::string mountPoint;
        // "major:minor" of the mounted device.
        std::string device;
        std::string type;
        // The kernel's id of this mount: a volume unmounted and mounted again gets a new one.
        std::string id;
    };

    static std::vector<Entry> read();
    // Where the block device at `path` is mounted, in mount order.
    static std::vector<std::string> mountPointsOf(const std::string& devicePath);
    // The ids of those mounts, in the same order.
    static std::vector<std::string> mountIdsOf(const std::string& devicePath);
    static bool isMountPoint(const std::string& path);
    // Detaches every mount at or below `folder`, the deepest first.
    static void unmountBelow(const std::string& folder);
};

}  // namespace harbormind::test
