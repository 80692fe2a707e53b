#pragma once

#include "platform/JunkLocations.h"

namespace harbormind {

// The places a Linux user can usually empty without losing anything they made or configured:
// temporary folders, the XDG cache and trash, X session logs, per-application (Flatpak) caches,
// the download folder and developer build caches. Configuration (~/.config) is never included.
class LinuxJunkLocations : public JunkLocations {
public:
    std::vector<JunkCategory> categories(const std::string& home) override;
    std::string containersFolder(const std::string& home) override;
};

}  // namespace harbormind
