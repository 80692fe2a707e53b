#include "platform/linux/files/LinuxCacheFolders.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "platform/linux/files/XdgConfigHome.h"

namespace harbormind {
namespace {

bool isPlainName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

// Opens the folder without following a link and checks that it is ours and closed to others.
bool isOwnPrivateFolder(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    struct stat info {};
    bool ok = ::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::geteuid();
    if (ok && (info.st_mode & 077) != 0) {
        ok = ::fchmod(fd, 0700) == 0;
    }
    ::close(fd);
    return ok;
}

}  // namespace

std::string LinuxCacheFolders::cacheHome() {
    const char* configured = std::getenv("XDG_CACHE_HOME");
    if (configured && configured[0] == '/') {
        return configured;
    }
    return XdgConfigHome::homeFolder() + "/.cache";
}

std::optional<std::string> LinuxCacheFolders::privateFolder(const std::string& name) {
    if (!isPlainName(name)) {
        return std::nullopt;
    }
    const std::string home = cacheHome();
    std::error_code error;
    std::filesystem::create_directories(home, error);
    const std::string path = home + "/" + name;
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) {
        return std::nullopt;
    }
    if (!isOwnPrivateFolder(path)) {
        return std::nullopt;
    }
    return path;
}

}  // namespace harbormind
