#include "platform/linux/files/WholeFileReader.h"

#include <unistd.h>

#include <array>
#include <cerrno>

namespace harbormind {

FileReadResult WholeFileReader::readAll(int fd, std::size_t limit) {
    FileReadResult result;
    std::array<char, 65536> chunk{};
    for (;;) {
        ssize_t got = ::read(fd, chunk.data(), chunk.size());
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            result.status = FileReadStatus::Unreadable;
            result.bytes.clear();
            return result;
        }
        if (got == 0) {
            break;
        }
        result.bytes.append(chunk.data(), static_cast<std::size_t>(got));
        if (result.bytes.size() > limit) {
            result.status = FileReadStatus::TooLarge;
            result.bytes.clear();
            return result;
        }
    }
    result.status = FileReadStatus::Read;
    return result;
}

}  // namespace harbormind
