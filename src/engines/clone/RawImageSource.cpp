#include "engines/clone/RawImageSource.h"

#include <unistd.h>

#include <cerrno>

namespace harbormind::clone {

CloneIoResult RawImageSource::readAt(std::uint64_t offset, std::byte* buffer, std::size_t length) {
    std::size_t done = 0;
    while (done < length) {
        ssize_t n = ::pread(fd_, buffer + done, length - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            // A file that shrank under the copy is gone as a source: retrying cannot help.
            return {n < 0 ? CloneIoStatus::failed : CloneIoStatus::gone, n < 0 ? errno : ENXIO};
        }
        done += static_cast<std::size_t>(n);
    }
    return {};
}

}  // namespace harbormind::clone
