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
    };

    static std::vector<Entry> read();
    // Where the block device at `path` is mounted, in mount order.
    static std::vector<std::string> mountPointsOf(const std::string& devicePath);
    static bool isMountPoint(const std::string& path);
    // Detaches every mount at or below `folder`, the deepest first.
    static void unmountBelow(const std::string& folder);
};

}  // namespace harbormind::test
