#include "platform/linux/disks/MountTableSource.h"

#include <fcntl.h>
#include <linux/magic.h>
#include <poll.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace harbormind {

MountTableSource::MountTableSource(std::string path) : path_(std::move(path)) {
    int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
    struct statfs info {};
    if (fd >= 0 && ::fstatfs(fd, &info) == 0 && info.f_type == PROC_SUPER_MAGIC) {
        watched_ = fd;
    } else if (fd >= 0) {
        ::close(fd);
    }
}

MountTableSource::~MountTableSource() {
    if (watched_ >= 0) {
        ::close(watched_);
    }
}

bool MountTableSource::changedSinceLastRead() {
    if (watched_ < 0) {
        return true;
    }
    // Polling takes the mark away; a mount between this poll and the read below is then in
    // the table read, and marks it again for the next call (one read too many, never one too few).
    pollfd watch{watched_, POLLPRI, 0};
    int ready = ::poll(&watch, 1, 0);
    return ready < 0 || (watch.revents & (POLLPRI | POLLERR)) != 0;
}

std::shared_ptr<const MountTable> MountTableSource::current() {
    std::lock_guard lock(mutex_);
    if (!table_ || changedSinceLastRead()) {
        table_ = std::make_shared<const MountTable>(MountTable::read(path_));
    }
    return table_;
}

}  // namespace harbormind
