#pragma once

#include <string>
#include <vector>

namespace harbormind {

// The platform's rules about device names and the mount points that hold the running
// system. The defaults are those of systems whose partitions are named after their disk
// plus "s" and a number (disk0s2) and whose synthesized disks get a name of their own.
class DeviceNaming {
public:
    enum class ChildRelation {
        // A partition or volume of the parent disk (disk0s2 under disk0).
        partition,
        // A disk synthesized on the parent, a physical store (disk3 above disk0s2).
        synthesizedDisk,
    };

    virtual ~DeviceNaming() = default;

    // How `childName` relates to `parentName`, its nearest named ancestor in the registry.
    // By default every occurrence of the parent's name is removed from the child's; a
    // remainder beginning with "s" is a partition, anything else a synthesized disk.
    virtual ChildRelation relation(const std::string& parentName, const std::string& childName) const;

    // Where the running system's root volume is mounted ("/").
    virtual std::vector<std::string> systemMountPoints() const;
    // Where the volumes that hold the user's data and the system's other parts are mounted
    // ("/System/Volumes/Data").
    virtual std::vector<std::string> dataMountPoints() const;

    // A volume mounted at one of these paths can be neither unmounted, locked nor encrypted.
    bool isSystemMountPoint(const std::string& path) const;
    bool isDataMountPoint(const std::string& path) const;
    bool isProtectedMountPoint(const std::string& path) const;
};

}  // namespace harbormind
