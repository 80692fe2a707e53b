#pragma once

#include <optional>
#include <string>
#include <vector>

namespace harbormind {

enum class UnmountForce { No, Yes };
enum class UnmountScope { Volume, WholeDisk };

// The mount helper's verbs. Each prints what it did on standard output and its errors on
// standard error, and returns the program's exit status (0 on success). Device names are
// kernel names of block devices under /dev; nothing else is accepted.
class MountHelper {
public:
    // The exit status of a refusal because something still uses the volume or the disk.
    static constexpr int busyStatus = 16;

    MountHelper();

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
    static bool isValidName(const std::string& name);

private:
    std::string sysfs(const std::string& name) const;
    std::vector<std::string> devicesOf(const std::string& name, UnmountScope scope) const;
    int unmountDevices(const std::vector<std::string>& names, UnmountForce force, bool quietWhenNone);
    bool removeMountFolder(const std::string& mountPoint) const;
    // Opens the disk exclusively after checking that no other program holds any of its
    // devices; -1 (with the refusal printed) when it is in use.
    int claimDisk(const std::string& disk, const std::vector<std::string>& devices, int& status) const;

    std::string mediaRoot_;
    std::string userName_;
    unsigned userId_ = 0;
    unsigned groupId_ = 0;
};

}  // namespace harbormind
