#include "platform/linux/settings/FolderLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace harbormind {

FolderLock::FolderLock(const std::string& folder, Mode mode)
    : fd_(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
    if (fd_ >= 0) {
        int operation = mode == Mode::Shared ? LOCK_SH : LOCK_EX;
        while (::flock(fd_, operation) != 0 && errno == EINTR) {
        }
    }
}

FolderLock::~FolderLock() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

}  // namespace harbormind
