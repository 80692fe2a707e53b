#include "engines/clone/SparseImageFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace harbormind::clone {
namespace {

constexpr std::size_t holeBlockBytes = 64 << 10;

bool allZero(const std::byte* buffer, std::size_t length) {
    return std::all_of(buffer, buffer + length, [](std::byte b) { return b == std::byte{0}; });
}

CloneIoResult result(bool ok) {
    return ok ? CloneIoResult{} : CloneIoResult{CloneIoStatus::failed, errno};
}

}  // namespace

std::string SparseImageFile::unsuitable(int fd) {
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        return "the image must be a regular file";
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || (flags & O_ACCMODE) == O_RDONLY || (flags & O_APPEND) != 0) {
        return "the image file is not open for writing";
    }
    return {};
}

CloneIoResult SparseImageFile::prepare() {
    return result(::ftruncate(fd_, 0) == 0);
}

// Blocks of zeros within a chunk stay holes too: a file system's data and metadata lie
// scattered between long runs of nothing.
CloneIoResult SparseImageFile::writeAt(std::uint64_t offset, const std::byte* buffer, std::size_t length) {
    for (std::size_t block = 0; block < length;) {
        const std::size_t size = std::min(holeBlockBytes, length - block);
        if (allZero(buffer + block, size)) {
            block += size;
            continue;
        }
        std::size_t end = block + size;
        while (end < length && !allZero(buffer + end, std::min(holeBlockBytes, length - end))) {
            end += std::min(holeBlockBytes, length - end);
        }
        if (CloneIoResult written = writeAll(offset + block, buffer + block, end - block);
            written.status != CloneIoStatus::ok) {
            return written;
        }
        block = end;
    }
    return {};
}

CloneIoResult SparseImageFile::writeAll(std::uint64_t offset, const std::byte* buffer, std::size_t length) {
    std::size_t written = 0;
    while (written < length) {
        ssize_t n = ::pwrite(fd_, buffer + written, length - written, static_cast<off_t>(offset + written));
        if (n <= 0) {
            return {CloneIoStatus::failed, n < 0 ? errno : ENOSPC};
        }
        written += static_cast<std::size_t>(n);
    }
    return {};
}

CloneIoResult SparseImageFile::flush() {
    return result(::fdatasync(fd_) == 0);
}

CloneIoResult SparseImageFile::finish(std::uint64_t size) {
    if (::ftruncate(fd_, static_cast<off_t>(size)) != 0) {
        return result(false);
    }
    return result(::fsync(fd_) == 0);
}

}  // namespace harbormind::clone
