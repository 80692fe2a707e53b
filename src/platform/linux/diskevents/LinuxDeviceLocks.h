#pragma once

#include <memory>
#include <mutex>
#include <string>

namespace harbormind {

// One lock per device name for the whole process, so the mount helper never runs twice at
// once for the same device (an eject overtaking the unmount before it, two unmounts racing).
class LinuxDeviceLocks {
public:
    static std::unique_lock<std::mutex> hold(const std::string& name);
};

}  // namespace harbormind
