#include "engines/clone/StreamedImageSource.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace harbormind::clone {

CloneIoResult StreamedImageSource::readAt(std::uint64_t offset, std::byte* buffer, std::size_t length) {
    if (problem_.empty() && offset != produced_) {
        fail("a compressed image is read in order only");
    }
    if (!problem_.empty() || !decompress(buffer, length)) {
        return {CloneIoStatus::gone, EIO};
    }
    produced_ += length;
    return {};
}

long StreamedImageSource::readMore(void* buffer, std::size_t capacity) {
    ssize_t n = ::pread(fd_, buffer, capacity, static_cast<off_t>(fileOffset_));
    if (n < 0) {
        fail(std::string("the image cannot be read: ") + std::strerror(errno));
        return -1;
    }
    fileOffset_ += static_cast<std::uint64_t>(n);
    return n;
}

bool StreamedImageSource::fail(std::string why) {
    problem_ = std::move(why);
    return false;
}

}  // namespace harbormind::clone
