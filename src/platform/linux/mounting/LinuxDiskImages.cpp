#include "platform/linux/mounting/LinuxDiskImages.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/linux/mounting/MountDaemonClient.h"

namespace harbormind {

DiskImages::Answer LinuxDiskImages::attach(const std::string& path, bool readOnly) {
    int fd = ::open(path.c_str(), (readOnly ? O_RDONLY : O_RDWR) | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        const int error = errno;
        std::string reason = "cannot open " + path + ": " + std::strerror(error);
        if (!readOnly && (error == EACCES || error == EROFS || error == EPERM) &&
            ::access(path.c_str(), R_OK) == 0) {
            return {notWritable, reason + "; it can be attached read-only"};
        }
        return {1, reason};
    }
    MountDaemonClient::Answer answer = MountDaemonClient().attachDiskImage(fd, readOnly);
    ::close(fd);
    return {answer.code, answer.message};
}

}  // namespace harbormind
