#include "platform/linux/files/LinuxFileStore.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <limits>

#include "platform/linux/files/WholeFileReader.h"
#include "platform/linux/files/WholeFileWriter.h"

namespace harbormind {

std::optional<FileStore::Bytes> LinuxFileStore::read(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    FileReadResult result = WholeFileReader::readAll(fd, std::numeric_limits<std::size_t>::max());
    ::close(fd);
    if (result.status != FileReadStatus::Read) {
        return std::nullopt;
    }
    return Bytes(result.bytes.begin(), result.bytes.end());
}

bool LinuxFileStore::exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

bool LinuxFileStore::write(const std::string& path, const Bytes& contents, Privacy privacy) {
    return WholeFileWriter::write(path, std::string(contents.begin(), contents.end()),
                                  privacy == Privacy::OwnerOnly ? 0600 : 0644);
}

std::optional<std::string> LinuxFileStore::moveAside(const std::string& path, const std::string& suffix) {
    // link() never replaces an existing file, so an older copy kept aside survives.
    for (int n = 1; n < 1000; ++n) {
        std::string target = path + suffix + (n == 1 ? "" : "-" + std::to_string(n));
        if (::link(path.c_str(), target.c_str()) == 0) {
            ::unlink(path.c_str());
            return target;
        }
        if (errno != EEXIST) {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

}  // namespace harbormind
