#pragma once

#include <optional>
#include <string>

namespace harbormind {

// Builds First Aid's two command lines. A device name goes into them as it is, so only a
// plain kernel device name ("disk4s1", "sdb1", "nvme0n1p2") is accepted: anything else
// gives no command at all.
class DMCheckDiskShellCommand {
public:
    std::optional<std::string> repairVolume(const std::string& bsdName) const;
    std::optional<std::string> ntfsChecker(const std::string& bsdName, bool repair) const;

    static bool isPlainDeviceName(const std::string& bsdName);
};

}  // namespace harbormind
