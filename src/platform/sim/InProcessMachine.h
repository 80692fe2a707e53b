#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace harbormind {

// The machine as the in-process daemon sees it, through the current platform's disk
// arbitration and device registry: which devices there are, their sizes, what is mounted.
// The simulated daemon decides from it what the real one decides from the kernel, so a
// request the real daemon refuses (a mounted destination, a device too small) is refused here too.
class InProcessMachine {
public:
    // Whether there is a machine to look at (a platform is set up); without one nothing is
    // known and the simulated daemon judges nothing by it.
    static bool known();
    // The kernel name a device argument names: "disk6" for "/dev/disk6", "/dev/rdisk6" or "disk6".
    static std::string nameOf(const std::string& device);
    static bool exists(const std::string& device);
    // The device's size in bytes (0 when unknown).
    static std::int64_t size(const std::string& device);
    // The file system on the device as its description names it ("ntfs"); empty when none.
    static std::string volumeKind(const std::string& device);
    // Where the device, or a volume on it, is mounted; empty when nothing of it is.
    static std::vector<std::string> mountPoints(const std::string& device);
};

}  // namespace harbormind
