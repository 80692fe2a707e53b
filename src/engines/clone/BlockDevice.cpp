#include "engines/clone/BlockDevice.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace harbormind::clone {

std::unique_ptr<BlockDevice> BlockDevice::open(const std::string& path, Access access, Caching caching,
                                               int& error) {
    int flags = O_CLOEXEC | O_NOFOLLOW;
    flags |= access == Access::writeExclusive ? O_WRONLY : O_RDONLY;
    flags |= access == Access::read ? 0 : O_EXCL;
    if (caching == Caching::direct) {
        flags |= O_DIRECT;
    }
    int fd = ::open(path.c_str(), flags);
    if (fd < 0) {
        error = errno;
        return nullptr;
    }
    std::unique_ptr<BlockDevice> device(new BlockDevice(fd, path));
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        error = errno;
        return nullptr;
    }
    if (S_ISBLK(info.st_mode)) {
        device->isBlock_ = true;
        device->device_ = info.st_rdev;
        int sector = 0;
        std::uint64_t bytes = 0;
        if (::ioctl(fd, BLKSSZGET, &sector) != 0 || ::ioctl(fd, BLKGETSIZE64, &bytes) != 0) {
            error = errno;
            return nullptr;
        }
        device->sectorSize_ = static_cast<std::uint32_t>(sector);
        device->size_ = bytes;
    } else if (S_ISREG(info.st_mode)) {
        device->size_ = static_cast<std::uint64_t>(info.st_size);
    } else {
        error = ENOTBLK;
        return nullptr;
    }
    error = 0;
    return device;
}

BlockDevice::BlockDevice(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}

BlockDevice::~BlockDevice() {
    ::close(fd_);
}

bool BlockDevice::readOnly() const {
    if (!isBlock_) {
        return false;
    }
    int readOnly = 0;
    return ::ioctl(fd_, BLKROGET, &readOnly) == 0 && readOnly != 0;
}

bool BlockDevice::present() const {
    if (!isBlock_) {
        struct stat info {};
        return ::fstat(fd_, &info) == 0 && info.st_nlink > 0;
    }
    std::string node =
        "/sys/dev/block/" + std::to_string(major(device_)) + ":" + std::to_string(minor(device_));
    if (::access(node.c_str(), F_OK) != 0) {
        return false;
    }
    std::uint64_t bytes = 0;
    return ::ioctl(fd_, BLKGETSIZE64, &bytes) == 0 && bytes == size_;
}

void BlockDevice::rereadPartitions() const {
    if (isBlock_) {
        ::ioctl(fd_, BLKRRPART);
    }
}

void BlockDevice::forgetCachedContents() const {
    if (isBlock_) {
        ::ioctl(fd_, BLKFLSBUF);
    }
}

CloneIoResult BlockDevice::failure(int error) const {
    return {present() ? CloneIoStatus::failed : CloneIoStatus::gone, error};
}

CloneIoResult BlockDevice::readAt(std::uint64_t offset, std::byte* buffer, std::size_t length) {
    std::size_t done = 0;
    while (done < length) {
        ssize_t n = ::pread(fd_, buffer + done, length - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return failure(errno);
        }
        if (n == 0) {
            return failure(ENXIO);  // an end before the size we opened with: the device shrank or went
        }
        done += static_cast<std::size_t>(n);
    }
    return {};
}

CloneIoResult BlockDevice::writeAt(std::uint64_t offset, const std::byte* buffer, std::size_t length) {
    std::size_t done = 0;
    while (done < length) {
        ssize_t n = ::pwrite(fd_, buffer + done, length - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return failure(n < 0 ? errno : ENOSPC);
        }
        done += static_cast<std::size_t>(n);
    }
    return {};
}

CloneIoResult BlockDevice::flush() {
    if (::fdatasync(fd_) != 0) {
        return failure(errno);
    }
    return {};
}

}  // namespace harbormind::clone
