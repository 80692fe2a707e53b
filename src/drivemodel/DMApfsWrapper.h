#pragma once

#include <optional>
#include <string>

namespace harbormind {

// The volume tool's APFS requests that are not tied to a job.
class DMApfsWrapper {
public:
    // Unlocks an encrypted APFS volume: 0 when unlocked, -1 when the password is wrong, the
    // tool printed nothing or the password is empty (nothing runs then).
    static int unlock(const std::string& bsdName, const std::string& password);
    // The whole disk a volume name belongs to ("disk3" for "disk3s1"): the first "disk"
    // followed by digits; none when the name has no such part.
    static std::optional<std::string> wholeDiskName(const std::string& bsdName);
};

}  // namespace harbormind
