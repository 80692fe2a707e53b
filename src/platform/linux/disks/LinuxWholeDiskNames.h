#pragma once

#include "platform/WholeDiskNames.h"

namespace harbormind {

// Linux kernel names: sdb1 -> sdb, vdc -> vdc, nvme0n1p2 -> nvme0n1, mmcblk0p1 -> mmcblk0,
// loop3p1 -> loop3, and whole-disk-only names (dm-0, md0, sr0, zram0) as they are.
class LinuxWholeDiskNames final : public WholeDiskNames {
public:
    std::optional<std::string> wholeDiskPrefix(const std::string& bsdName) override;
};

}  // namespace harbormind
