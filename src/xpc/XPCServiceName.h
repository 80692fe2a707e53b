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
    // Of our own: LUKS2 encryption, and unlocking and locking encrypted volumes.
    static constexpr const char* luks = "com.Kestrane.drivemanagerd.luksXPC";
    // Of our own: drive health, erasing and partitions.
    static constexpr const char* diskTools = "com.Kestrane.drivemanagerd.diskToolsXPC";
    // Of our own: installing a signed update of the application.
    static constexpr const char* update = "com.Kestrane.drivemanagerd.updateXPC";

    // Every name the daemon takes on the bus, in the order a status lists them (the mount
    // service last: the service manager waits for it).
    static constexpr std::array<const char*, 9> all{bitLocker, ntfs,      checkDisk, deviceClone, usbBlocker,
                                                    luks,      diskTools, update,    mount};
};

}  // namespace harbormind
