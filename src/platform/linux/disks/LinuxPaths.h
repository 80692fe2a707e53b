#pragma once

#include <string>

#include "support/Clock.h"

namespace harbormind {

enum class KernelEvents { Listen, Ignore };

// Where the Linux platform reads the machine from. Tests point these at a recorded sysfs
// tree, a folder of image files standing in for /dev and a mount table file of their own.
struct LinuxPaths {
    std::string sysfsRoot = "/sys";
    std::string devRoot = "/dev";
    std::string mountInfo = "/proc/self/mountinfo";
    // udev's database: the facts of devices whose nodes this user may not read.
    std::string udevDataRoot = "/run/udev/data";
    // The program that mounts, unmounts and ejects; empty means "find it" (LinuxMountHelper).
    std::string mountHelper;
    // Where root's own mounts go (a user's are the daemon's choice); empty means the usual one.
    std::string mediaRoot;
    KernelEvents kernelEvents = KernelEvents::Listen;
    // How often the mount table is compared with the last one seen.
    Clock::Duration mountPollInterval = seconds(0.5);
};

}  // namespace harbormind
