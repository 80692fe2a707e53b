#include "platform/linux/files/LinuxFileSystemInfo.h"

#include <dirent.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <limits>

namespace harbormind {
namespace {

std::optional<std::int64_t> bytes(std::uint64_t blocks, std::uint64_t blockSize) {
    if (blockSize != 0 && blocks > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) / blockSize) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(blocks * blockSize);
}

}  // namespace

FileSystemSpace LinuxFileSystemInfo::space(const std::string& mountPoint) {
    struct statvfs facts {};
    if (::statvfs(mountPoint.c_str(), &facts) != 0) {
        return {};
    }
    // Reserved blocks count neither as free (the user cannot write them) nor as used.
    std::uint64_t usedBlocks = facts.f_blocks >= facts.f_bfree ? facts.f_blocks - facts.f_bfree : 0;
    return {bytes(facts.f_blocks, facts.f_frsize), bytes(facts.f_bavail, facts.f_frsize),
            bytes(usedBlocks, facts.f_frsize)};
}

bool LinuxFileSystemInfo::exists(const std::string& path) {
    struct stat facts {};
    return ::stat(path.c_str(), &facts) == 0;
}

bool LinuxFileSystemInfo::isReadable(const std::string& path) {
    return ::access(path.c_str(), R_OK) == 0;
}

bool LinuxFileSystemInfo::isWritable(const std::string& path) {
    return ::access(path.c_str(), W_OK) == 0;
}

bool LinuxFileSystemInfo::canListFolder(const std::string& path) {
    DIR* folder = ::opendir(path.c_str());
    if (folder == nullptr) {
        return false;
    }
    errno = 0;
    bool listed = ::readdir(folder) != nullptr || errno == 0;
    ::closedir(folder);
    return listed;
}

}  // namespace harbormind
