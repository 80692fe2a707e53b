#pragma once

#include <optional>
#include <string>

#include "platform/linux/disks/LinuxPaths.h"
#include "platform/linux/disks/SysfsBlockDevice.h"

namespace harbormind {

// What the USB blocker needs to know of a block device, read from sysfs the way the platform
// describes disks: the whole disk it belongs to, that disk's media name (the name the lists
// hold), and the bus and place of the hardware under it. The udev check, the daemon's mount
// refusal and the disk descriptions all name a disk through `mediaNameOf`.
struct LinuxBlockerDisk {
    std::string name;        // the device asked about ("sdb1")
    std::string wholeDisk;   // its whole disk ("sdb")
    std::string mediaName;   // the whole disk's media name ("SanDisk Ultra"); may be empty
    // The whole disk with the kernel's sequence number of its medium ("sdb#41"): another
    // stick plugged in as sdb has another.
    std::string medium;
    std::optional<std::string> protocol;  // the engine's device protocol ("USB"), if known
    std::optional<std::string> imageFile;  // a loop device's image
    bool internal = true;

    // The media name of a whole disk: the mapping's name, a loop device's image file name,
    // or the vendor and model joined by a space (a virtio disk without either has a name of
    // its own).
    static std::string mediaNameOf(const SysfsBlockDevice& wholeDisk);
    // None when the device or its whole disk is not there.
    static std::optional<LinuxBlockerDisk> read(const LinuxPaths& paths, const std::string& name);
};

}  // namespace harbormind
