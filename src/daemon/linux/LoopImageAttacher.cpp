#include "daemon/linux/LoopImageAttacher.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <linux/loop.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>

namespace harbormind {
namespace {

// Another program may take the free loop device first; then the next free one is tried.
constexpr int attempts = 8;

std::string problemOf(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

// Why the descriptor cannot be attached; empty when it can.
std::string fileProblem(int imageFd, bool readOnly) {
    struct stat facts {};
    if (::fstat(imageFd, &facts) != 0) {
        return problemOf("the image cannot be examined");
    }
    if (!S_ISREG(facts.st_mode)) {
        return "the image is not a regular file";
    }
    int flags = ::fcntl(imageFd, F_GETFL);
    if (flags < 0 || (flags & O_PATH) != 0 || (flags & O_ACCMODE) == O_WRONLY) {
        return "the image was not opened for reading";
    }
    if (!readOnly && (flags & O_ACCMODE) != O_RDWR) {
        return "the image was not opened for writing: attach it read-only";
    }
    return {};
}

std::uint64_t diskSequenceOf(int loopFd, const std::string& name) {
    std::uint64_t sequence = 0;
    if (::ioctl(loopFd, BLKGETDISKSEQ, &sequence) == 0) {
        return sequence;
    }
    std::ifstream in("/sys/block/" + name + "/diskseq");
    in >> sequence;
    return sequence;
}

// Sets the loop device up on the image: LOOP_CONFIGURE, or on kernels without it the older
// two steps. False with errno set.
bool configure(int loopFd, int imageFd, bool readOnly) {
    loop_config config {};
    config.fd = static_cast<std::uint32_t>(imageFd);
    config.info.lo_flags = LO_FLAGS_PARTSCAN | (readOnly ? LO_FLAGS_READ_ONLY : 0);
    const std::string link = "/proc/self/fd/" + std::to_string(imageFd);
    [[maybe_unused]] auto length = ::readlink(link.c_str(), reinterpret_cast<char*>(config.info.lo_file_name),
                                              LO_NAME_SIZE - 1);
    if (::ioctl(loopFd, LOOP_CONFIGURE, &config) == 0) {
        return true;
    }
    if (errno != EINVAL && errno != ENOTTY) {
        return false;
    }
    if (::ioctl(loopFd, LOOP_SET_FD, imageFd) != 0) {
        return false;
    }
    if (::ioctl(loopFd, LOOP_SET_STATUS64, &config.info) != 0) {
        int error = errno;
        ::ioctl(loopFd, LOOP_CLR_FD, 0);
        errno = error;
        return false;
    }
    return true;
}

}  // namespace

std::optional<LoopImageAttacher::Attached> LoopImageAttacher::attach(int imageFd, bool readOnly,
                                                                     std::string& problem) {
    problem = fileProblem(imageFd, readOnly);
    if (!problem.empty()) {
        return std::nullopt;
    }
    int control = ::open("/dev/loop-control", O_RDWR | O_CLOEXEC);
    if (control < 0) {
        problem = problemOf("no loop devices here (/dev/loop-control)");
        return std::nullopt;
    }
    problem = "every free loop device was taken meanwhile";
    std::optional<Attached> attached;
    for (int attempt = 0; attempt < attempts && !attached; ++attempt) {
        int number = ::ioctl(control, LOOP_CTL_GET_FREE);
        if (number < 0) {
            problem = problemOf("no free loop device");
            break;
        }
        const std::string name = "loop" + std::to_string(number);
        int loopFd = ::open(("/dev/" + name).c_str(), (readOnly ? O_RDONLY : O_RDWR) | O_CLOEXEC);
        if (loopFd < 0) {
            problem = problemOf("cannot open /dev/" + name);
            continue;
        }
        if (configure(loopFd, imageFd, readOnly)) {
            attached = Attached{name, diskSequenceOf(loopFd, name)};
        } else if (errno != EBUSY) {
            problem = problemOf("cannot attach the image to " + name);
            ::close(loopFd);
            break;
        }
        ::close(loopFd);
    }
    ::close(control);
    if (attached) {
        problem.clear();
    }
    return attached;
}

void LoopImageAttacher::detach(const std::string& name) {
    int loopFd = ::open(("/dev/" + name).c_str(), O_RDONLY | O_CLOEXEC);
    if (loopFd >= 0) {
        ::ioctl(loopFd, LOOP_CLR_FD, 0);
        ::close(loopFd);
    }
}

}  // namespace harbormind
