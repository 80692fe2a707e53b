#pragma once

#include <sys/types.h>

#include <optional>
#include <string>

namespace harbormind {

// The block device a path names, caught at the start of a check, so that its
// disappearance (unplugged, detached loop device) can be told afterwards.
class DeviceIdentity {
public:
    // None when the path names nothing.
    static std::optional<DeviceIdentity> of(const std::string& devicePath);

    // Still the same device, with a medium: same node number, and a non-zero size.
    bool isPresent() const;
    // Mounted anywhere in this process's view, by device number or by source path.
    bool isMounted() const;
    // Where it is mounted first, in this process's view; none when it is not mounted.
    std::optional<std::string> mountPoint() const;

    bool isBlockDevice() const { return block_; }

private:
    std::string path_;
    std::string realPath_;
    dev_t number_ = 0;
    bool block_ = false;
};

}  // namespace harbormind
