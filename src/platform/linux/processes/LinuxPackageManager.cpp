#include "platform/linux/processes/LinuxPackageManager.h"

#include <unistd.h>

#include <cctype>
#include <vector>

#include "platform/ProcessLauncher.h"

namespace harbormind {

bool LinuxPackageManager::isPackageName(const std::string& name) {
    if (name.size() < 2 || name.size() > 128) {
        return false;
    }
    const std::string::size_type colon = name.find(':');
    const std::string base = name.substr(0, colon);
    if (base.size() < 2 || !(std::islower(static_cast<unsigned char>(base[0])) ||
                             std::isdigit(static_cast<unsigned char>(base[0])))) {
        return false;
    }
    for (char c : base) {
        const auto u = static_cast<unsigned char>(c);
        if (!(std::islower(u) || std::isdigit(u) || c == '+' || c == '-' || c == '.')) {
            return false;
        }
    }
    if (colon == std::string::npos) {
        return true;
    }
    const std::string architecture = name.substr(colon + 1);
    if (architecture.empty()) {
        return false;
    }
    for (char c : architecture) {
        const auto u = static_cast<unsigned char>(c);
        if (!(std::islower(u) || std::isdigit(u) || c == '-')) {
            return false;
        }
    }
    return true;
}

std::optional<std::string> LinuxPackageManager::ownerIn(const std::string& searchOutput) {
    const std::string line = searchOutput.substr(0, searchOutput.find('\n'));
    // "ntfs-3g:amd64: /usr/bin/ntfs-3g": the owner ends at the first ": ".
    const std::string::size_type end = line.find(": ");
    if (end == std::string::npos || line.compare(end + 2, 1, "/") != 0) {
        return std::nullopt;
    }
    std::string owner = line.substr(0, end);
    owner = owner.substr(0, owner.find(','));
    // A diversion line names no owner of the file itself.
    if (owner.rfind("diversion by ", 0) == 0 || !isPackageName(owner)) {
        return std::nullopt;
    }
    return owner;
}

std::optional<std::string> LinuxPackageManager::applicationPackage() {
    if (programPath_.empty() || programPath_[0] != '/') {
        return std::nullopt;
    }
    ProcessResult result = processes_.run("dpkg-query", {"--search", programPath_});
    if (!result.launched || result.exitStatus != 0) {
        return std::nullopt;
    }
    return ownerIn(result.standardOutput);
}

bool LinuxPackageManager::install(const std::string& package) {
    return apt("install", package);
}

bool LinuxPackageManager::remove(const std::string& package) {
    return apt("remove", package);
}

bool LinuxPackageManager::apt(const std::string& verb, const std::string& package) {
    if (!isPackageName(package)) {
        return false;
    }
    const bool elevate = rootCheck_ == RootCheck::AssumeNotRoot || ::geteuid() != 0;
    std::vector<std::string> arguments{"apt-get", verb, "--yes", "--", package};
    ProcessResult result =
        elevate ? processes_.run(elevationProgram_, arguments)
                : processes_.run("apt-get", std::vector<std::string>(arguments.begin() + 1, arguments.end()));
    return result.launched && result.exitStatus == 0;
}

}  // namespace harbormind
