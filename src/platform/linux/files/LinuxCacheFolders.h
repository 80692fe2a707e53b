#pragma once

#include "platform/CacheFolders.h"

namespace harbormind {

// Private folders in $XDG_CACHE_HOME (when absolute), else ~/.cache.
class LinuxCacheFolders final : public CacheFolders {
public:
    std::optional<std::string> privateFolder(const std::string& name) override;

    static std::string cacheHome();
};

}  // namespace harbormind
