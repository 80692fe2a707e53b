#include "platform/linux/desktop/LinuxUSBBlockerPaths.h"

#include <cstdlib>

namespace harbormind {

LinuxUSBBlockerPaths::LinuxUSBBlockerPaths() : listsFile_(defaultListsFile) {
    if (const char* overridden = std::getenv("HARBORMIND_USBBLOCKER_LISTS"); overridden && *overridden) {
        listsFile_ = overridden;
    }
}

LinuxUSBBlockerPaths::LinuxUSBBlockerPaths(std::string listsFile) : listsFile_(std::move(listsFile)) {}

std::string LinuxUSBBlockerPaths::watchedFolder() {
    auto slash = listsFile_.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : listsFile_.substr(0, slash);
}

}  // namespace harbormind
