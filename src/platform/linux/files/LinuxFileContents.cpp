#include "platform/linux/files/LinuxFileContents.h"

#include "platform/linux/files/WholeFileReader.h"
#include "platform/linux/files/WholeFileWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace harbormind {
namespace {

// Writes every byte, retrying short writes and interruptions.
bool writeAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        done += static_cast<std::size_t>(written);
    }
    return true;
}

}  // namespace

bool LinuxFileContents::exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

FileReadResult LinuxFileContents::read(const std::string& path, std::size_t limit) {
    FileReadResult result;
    // A symbolic link in place of the file is not followed: it could lead anywhere.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        result.status = errno == ENOENT ? FileReadStatus::Missing : FileReadStatus::Unreadable;
        return result;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        result.status = FileReadStatus::Unreadable;
        return result;
    }
    if (static_cast<std::uint64_t>(info.st_size) > limit) {
        ::close(fd);
        result.status = FileReadStatus::TooLarge;
        return result;
    }
    // The file may grow while it is read: the reader stops past the limit.
    result = WholeFileReader::readAll(fd, limit);
    ::close(fd);
    return result;
}

bool LinuxFileContents::createEmpty(const std::string& path) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0) {
        return exists(path);
    }
    ::close(fd);
    return true;
}

bool LinuxFileContents::append(const std::string& path, const std::string& bytes) {
    // No O_CREAT: an append to a missing file fails rather than creating it.
    // Nor is a link in place of the file written through.
    int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        return false;
    }
    bool written = writeAll(fd, bytes);
    return ::close(fd) == 0 && written;
}

bool LinuxFileContents::replace(const std::string& path, const std::string& bytes) {
    mode_t mode = 0644;
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0) {
        if (S_ISLNK(info.st_mode)) {
            return false;
        }
        mode = info.st_mode & 07777;
    }
    return WholeFileWriter::write(path, bytes, mode, CreateFolders::No);
}

}  // namespace harbormind
