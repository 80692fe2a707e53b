#include "platform/linux/mounting/MountUsers.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>

namespace harbormind {
namespace fs = std::filesystem;

namespace {

bool isInside(const std::string& path, const std::string& folder) {
    if (folder == "/") {
        return true;
    }
    return path == folder || (path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 &&
                              path[folder.size()] == '/');
}

std::string commandOf(const fs::path& process) {
    std::ifstream in(process / "comm");
    std::string name;
    std::getline(in, name);
    return name.empty() ? "?" : name;
}

// A descriptor opened with O_PATH names the device node without opening the device: it keeps
// nothing busy (the daemon checks its callers' device arguments so, on every call).
bool opensNothing(const fs::path& descriptorLink) {
    constexpr unsigned long pathOnly = 010000000;  // O_PATH
    std::ifstream info(descriptorLink.parent_path().parent_path() / "fdinfo" / descriptorLink.filename());
    std::string key;
    std::string value;
    while (info >> key >> value) {
        if (key == "flags:") {
            return (std::strtoul(value.c_str(), nullptr, 8) & pathOnly) != 0;
        }
    }
    return false;
}

bool isProcessFolder(const fs::directory_entry& entry) {
    const std::string name = entry.path().filename().string();
    return !name.empty() && std::all_of(name.begin(), name.end(), [](unsigned char c) { return std::isdigit(c) != 0; });
}

}  // namespace

MountUsers::MountUsers(std::string procRoot) : procRoot_(std::move(procRoot)) {}

template <typename Match>
std::string MountUsers::describe(Match&& match) const {
    std::string names;
    std::set<std::string> seen;
    std::error_code error;
    const std::string self = std::to_string(::getpid());
    for (fs::directory_iterator it(procRoot_, error), end; !error && it != end; it.increment(error)) {
        if (!isProcessFolder(*it) || it->path().filename() == self) {
            continue;
        }
        bool uses = false;
        std::error_code ignored;
        for (const char* link : {"cwd", "root"}) {
            fs::path target = fs::read_symlink(it->path() / link, ignored);
            uses = uses || (!ignored && match(target.string(), it->path() / link));
        }
        for (fs::directory_iterator fd(it->path() / "fd", ignored), done; !uses && !ignored && fd != done;
             fd.increment(ignored)) {
            std::error_code unreadable;
            fs::path target = fs::read_symlink(fd->path(), unreadable);
            uses = !unreadable && match(target.string(), fd->path());
        }
        if (uses) {
            std::string entry = commandOf(it->path()) + " (pid " + it->path().filename().string() + ")";
            if (seen.insert(entry).second) {
                names += (names.empty() ? "" : ", ") + entry;
            }
        }
    }
    return names;
}

std::string MountUsers::ofMountPoint(const std::string& mountPoint) const {
    return describe([&](const std::string& target, const fs::path&) {
        // The root link of an ordinary process is "/", which is inside every mount point's
        // parent but never inside the mount point itself unless it was changed.
        return mountPoint != "/" && isInside(target, mountPoint);
    });
}

std::string MountUsers::ofDevices(const std::vector<std::string>& deviceNodes) const {
    std::set<dev_t> devices;
    for (const auto& node : deviceNodes) {
        struct stat facts {};
        if (::stat(node.c_str(), &facts) == 0 && S_ISBLK(facts.st_mode)) {
            devices.insert(facts.st_rdev);
        }
    }
    return describe([&](const std::string&, const fs::path& link) {
        struct stat facts {};
        return ::stat(link.c_str(), &facts) == 0 && S_ISBLK(facts.st_mode) && devices.count(facts.st_rdev) != 0 &&
               !opensNothing(link);
    });
}

std::string MountUsers::inUseBy(const std::string& users) {
    return users.empty() ? "in use" : "in use by " + users;
}

}  // namespace harbormind
