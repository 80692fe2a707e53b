#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/linux/mounting/MountOwner.h"

namespace harbormind {

enum class UnmountForce { No, Yes };
enum class UnmountScope { Volume, WholeDisk };

// The mount verbs, shared by the mount helper (root's own use) and the daemon (for a user on
// the bus). Each writes what it did to `out` and its errors to `err`, and returns the
// program's exit status (0 on success). Device names are kernel names of block devices under
// /dev; nothing else is accepted. The owner is who the volume is mounted for; nothing here
// reads the environment.
class MountHelper {
public:
    // The exit status of a refusal because something still uses the volume or the disk.
    static constexpr int busyStatus = 16;

    MountHelper(MountOwner owner, std::string mediaRoot, std::ostream& out, std::ostream& err);

    int mount(const std::string& name, const std::optional<std::string>& mountPoint);
    int unmount(const std::string& name, UnmountForce force, UnmountScope scope);
    int eject(const std::string& name);
    int unlock(const std::string& name, const std::string& passphrase);
    int lock(const std::string& name);

    // The folder mounted volumes go in: <media root>/<user>.
    std::string mediaFolder() const;
    // A folder name made from a volume label: no slashes or control characters, never "."
    // or "..", never empty.
    static std::string folderNameFor(const std::string& label, const std::string& fallback);
    // The last line a verb wrote, without the program name its errors start with: what the
    // caller is told.
    static std::string lastLine(std::string text);

    // Every mount point of the device (with `WholeDisk`, of its disk, partitions and mappings).
    std::vector<std::string> mountPointsOf(const std::string& name, UnmountScope scope) const;
    // The whole disk a device is on (itself for a whole disk).
    std::string diskOf(const std::string& name) const;
    bool isRemovable(const std::string& name) const;
    // Whether the device's disk is part of the computer (not USB, FireWire, a card or an image).
    bool isInternal(const std::string& name) const;
    // The disk and the kernel's sequence number of its present medium ("loop3#1866"): it
    // changes when a loop device is attached again or the medium is changed.
    std::string mediaSequenceOf(const std::string& name) const;

private:
    int fail(const std::string& message) const;
    int failBusy(const std::string& message) const;
    int requireDeviceMapper(const std::string& name) const;
    int unmountDevices(const std::vector<std::string>& names, UnmountForce force, bool quietWhenNone);
    bool removeMountFolder(const std::string& mountPoint) const;

    MountOwner owner_;
    std::string mediaRoot_;
    std::ostream& out_;
    std::ostream& err_;
};

}  // namespace harbormind
