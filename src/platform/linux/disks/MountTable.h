#pragma once

#include <optional>
#include <string>
#include <vector>

namespace harbormind {

struct MountEntry {
    std::string devNumber;   // "major:minor" of the mounted file system
    std::string root;        // the folder of the file system that is mounted
    std::string mountPoint;
    std::string fsType;
    std::string source;      // "/dev/sda1", or what a FUSE program named
};

// The mount table in the form of /proc/self/mountinfo.
class MountTable {
public:
    MountTable() = default;
    explicit MountTable(std::vector<MountEntry> entries) : entries_(std::move(entries)) {}

    // Lines that do not parse are skipped; octal escapes (\040 for a space) are decoded.
    static MountTable parse(const std::string& text);
    static MountTable read(const std::string& path);

    // The mount point of a block device, matched by device number or by source path. The
    // first whole mount (root "/") wins, in mount order; a bind mount of a subfolder only
    // when nothing else is found.
    std::optional<std::string> mountPointOf(const std::string& devNumber, const std::string& devicePath) const;
    // Every mount point of the device, most recent first (the order to unmount them in).
    std::vector<std::string> mountPointsOf(const std::string& devNumber, const std::string& devicePath) const;
    // The device number holding a path's mount, for the longest mount point containing it.
    std::optional<MountEntry> entryContaining(const std::string& path) const;

    const std::vector<MountEntry>& entries() const { return entries_; }
    bool operator==(const MountTable& other) const;

private:
    std::vector<MountEntry> entries_;
};

}  // namespace harbormind
