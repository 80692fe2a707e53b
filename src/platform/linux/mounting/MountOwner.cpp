#include "platform/linux/mounting/MountOwner.h"

#include <pwd.h>

#include <vector>

namespace harbormind {

std::optional<MountOwner> MountOwner::ofUid(std::uint32_t uid) {
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr) {
        return std::nullopt;
    }
    return MountOwner{found->pw_name, found->pw_uid, found->pw_gid};
}

}  // namespace harbormind
