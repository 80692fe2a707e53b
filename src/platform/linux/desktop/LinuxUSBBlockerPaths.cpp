#include "platform/linux/desktop/LinuxUSBBlockerPaths.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

#include "support/Log.h"

namespace harbormind {
namespace {

bool onlyRootChanges(const struct stat& info) {
    return info.st_uid == 0 && (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

bool endsWith(const std::string& text, const std::string& end) {
    return text.size() > end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

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

std::string LinuxUSBBlockerPaths::dropInFolder() const {
    if (listsFile_ == defaultListsFile) {
        return defaultDropInFolder;
    }
    auto slash = listsFile_.rfind('/');
    return (slash == std::string::npos ? std::string() : listsFile_.substr(0, slash + 1)) + "usbblocker.d";
}

std::vector<std::string> LinuxUSBBlockerPaths::dropInFiles() {
    return trustedDropIns(dropInFolder());
}

std::vector<std::string> LinuxUSBBlockerPaths::trustedDropIns(const std::string& folder) {
    int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd < 0) {
        return {};
    }
    struct stat info {};
    if (::fstat(folderFd, &info) != 0 || !onlyRootChanges(info)) {
        Log::warning("USB lists: " + folder + " is not root's alone; its lists are ignored");
        ::close(folderFd);
        return {};
    }
    std::vector<std::string> names;
    DIR* entries = ::fdopendir(folderFd);
    if (entries == nullptr) {
        ::close(folderFd);
        return {};
    }
    while (const dirent* entry = ::readdir(entries)) {
        std::string name = entry->d_name;
        if (name[0] == '.' || !endsWith(name, ".cnf")) {
            continue;
        }
        struct stat file {};
        if (::fstatat(folderFd, name.c_str(), &file, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(file.st_mode) ||
            !onlyRootChanges(file)) {
            Log::warning("USB lists: " + folder + "/" + name + " is not a plain file of root's alone; ignored");
            continue;
        }
        names.push_back(name);
    }
    ::closedir(entries);
    std::sort(names.begin(), names.end());
    for (auto& name : names) {
        name = folder + "/" + name;
    }
    return names;
}

}  // namespace harbormind
