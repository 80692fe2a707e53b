#pragma once

#include <string>
#include <vector>

namespace harbormind {

// Who keeps a volume or a block device busy, as /proc tells: processes with an open file,
// a working folder or a root inside a mount point, or a descriptor on the device itself.
// A process whose /proc entries cannot be read (another user's, without the rights) is not
// named; the answer is then incomplete, never wrong.
class MountUsers {
public:
    explicit MountUsers(std::string procRoot = "/proc");

    // "bash (pid 812), python3 (pid 907)"; empty when nobody could be named.
    std::string ofMountPoint(const std::string& mountPoint) const;
    std::string ofDevices(const std::vector<std::string>& deviceNodes) const;

    // The sentence a busy refusal ends with: "in use by bash (pid 812)", or "in use" alone.
    static std::string inUseBy(const std::string& users);

private:
    template <typename Match>
    std::string describe(Match&& match) const;

    std::string procRoot_;
};

}  // namespace harbormind
