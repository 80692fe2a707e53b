#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace harbormind {

// The user a volume is mounted for: the name names their media folder, the ids go into the
// owner options of file systems without owners (FAT, exFAT, NTFS).
struct MountOwner {
    std::string name;
    std::uint32_t uid = 0;
    std::uint32_t gid = 0;

    // The account of `uid` from the user database; nothing when it has none.
    static std::optional<MountOwner> ofUid(std::uint32_t uid);
};

}  // namespace harbormind
