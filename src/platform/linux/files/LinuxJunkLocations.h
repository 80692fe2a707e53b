#pragma once

#include <cstdint>

#include "platform/JunkLocations.h"

namespace harbormind {

// The places a Linux user can usually empty without losing anything they made or configured:
// temporary folders, the XDG cache and trash, X session logs, per-application (Flatpak) caches,
// the download folder and developer build caches. Configuration (~/.config) is never included.
// The shared temporary folders are offered only to an ordinary user, and only what is theirs;
// for root, whose clean could remove every user's and every service's files, they are left out.
class LinuxJunkLocations : public JunkLocations {
public:
    // For the process's effective user.
    LinuxJunkLocations();
    explicit LinuxJunkLocations(std::uint32_t user);
    std::vector<JunkCategory> categories(const std::string& home) override;
    std::string containersFolder(const std::string& home) override;

private:
    std::uint32_t user_;
};

}  // namespace harbormind
