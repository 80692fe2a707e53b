#include "platform/linux/mounting/LinuxNtfsDriverCheck.h"

#include <unistd.h>

#include <fstream>

namespace harbormind {

LinuxNtfsDriverCheck::LinuxNtfsDriverCheck(std::string procRoot, std::vector<std::string> ntfs3gPaths)
    : procRoot_(std::move(procRoot)), ntfs3gPaths_(std::move(ntfs3gPaths)) {}

std::vector<std::string> LinuxNtfsDriverCheck::defaultPaths() {
    return {"/usr/bin/ntfs-3g", "/bin/ntfs-3g", "/usr/sbin/ntfs-3g", "/sbin/ntfs-3g"};
}

bool LinuxNtfsDriverCheck::present() const {
    return ntfs3gProgram() || kernelHasNtfs3();
}

// Lines read "nodev\tsysfs" or "\tntfs3": the name is the last field.
bool LinuxNtfsDriverCheck::kernelHasNtfs3() const {
    std::ifstream filesystems(procRoot_ + "/filesystems");
    std::string line;
    while (std::getline(filesystems, line)) {
        auto tab = line.find_last_of(" \t");
        if (line.substr(tab == std::string::npos ? 0 : tab + 1) == "ntfs3") {
            return true;
        }
    }
    return false;
}

std::optional<std::string> LinuxNtfsDriverCheck::ntfs3gProgram() const {
    for (const std::string& path : ntfs3gPaths_) {
        if (::access(path.c_str(), X_OK) == 0) {
            return path;
        }
    }
    return std::nullopt;
}

}  // namespace harbormind
