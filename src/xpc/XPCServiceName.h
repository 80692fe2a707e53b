#pragma once

#include <array>

namespace harbormind {

// The daemon's services, one name each.
struct XPCServiceName {
    static constexpr const char* bitLocker = "com.Kestrane.drivemanagerd.BitLockerXPC";
    static constexpr const char* ntfs = "com.Kestrane.drivemanagerd.NtfsXPC";
    static constexpr const char* checkDisk = "com.Kestrane.drivemanagerd.checkDiskXPC";
    static constexpr const char* deviceClone = "com.Kestrane.drivemanagerd.deviceCloneXPC";
    static constexpr const char* usbBlocker = "com.Kestrane.drivemanagerd.usbblockerXPC";
    // Of our own: mounting, unmounting and ejecting for the calling user.
    static constexpr const char* mount = "com.Kestrane.drivemanagerd.mountXPC";

    // Every name the daemon takes on the bus, in the order a status lists them.
    static constexpr std::array<const char*, 6> all{bitLocker, ntfs, checkDisk, deviceClone, usbBlocker, mount};
};

}  // namespace harbormind
