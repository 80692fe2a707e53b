#include "platform/linux/mounting/LinuxMountHelper.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace harbormind {

std::string LinuxMountHelper::locate(const LinuxPaths& paths) {
    if (!paths.mountHelper.empty()) {
        return paths.mountHelper;
    }
    if (const char* configured = std::getenv("HARBORMIND_MOUNT_HELPER"); configured != nullptr && *configured != 0) {
        return configured;
    }
    std::error_code error;
    auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        for (const auto& candidate : {self.parent_path() / "harbormind-mount",
                                      self.parent_path().parent_path() / "libexec" / "harbormind" / "harbormind-mount"}) {
            if (::access(candidate.c_str(), X_OK) == 0) {
                return candidate.string();
            }
        }
    }
#ifdef HARBORMIND_MOUNT_HELPER_BUILD_PATH
    if (::access(HARBORMIND_MOUNT_HELPER_BUILD_PATH, X_OK) == 0) {
        return HARBORMIND_MOUNT_HELPER_BUILD_PATH;
    }
#endif
    return "harbormind-mount";
}

}  // namespace harbormind
