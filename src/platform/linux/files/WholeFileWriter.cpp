#include "platform/linux/files/WholeFileWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "support/Log.h"

namespace harbormind {
namespace {

std::string parentOf(const std::string& path) {
    std::string::size_type slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool writeAll(int fd, const std::string& contents) {
    const char* data = contents.data();
    std::size_t left = contents.size();
    while (left > 0) {
        ssize_t written = ::write(fd, data, left);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    return true;
}

}  // namespace

bool WholeFileWriter::makeFolders(const std::string& folder, mode_t mode) {
    struct stat info {};
    if (::stat(folder.c_str(), &info) == 0) {
        return S_ISDIR(info.st_mode);
    }
    std::string parent = parentOf(folder);
    if (parent != folder && !makeFolders(parent, mode)) {
        return false;
    }
    return ::mkdir(folder.c_str(), mode) == 0 || errno == EEXIST;
}

bool WholeFileWriter::write(const std::string& path, const std::string& contents, mode_t mode,
                            CreateFolders createFolders) {
    std::string folder = parentOf(path);
    if (createFolders == CreateFolders::Yes && !makeFolders(folder, 0700)) {
        Log::error("cannot create the folder " + folder + ": " + std::strerror(errno));
        return false;
    }
    std::string pattern = path + ".tmp-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) {
        Log::error("cannot create a temporary file beside " + path + ": " + std::strerror(errno));
        return false;
    }
    bool written = ::fchmod(fd, mode) == 0 && writeAll(fd, contents) && ::fsync(fd) == 0;
    int savedErrno = errno;
    written = (::close(fd) == 0) && written;
    if (!written || ::rename(name.data(), path.c_str()) != 0) {
        savedErrno = written ? errno : savedErrno;
        ::unlink(name.data());
        Log::error("cannot write " + path + ": " + std::strerror(savedErrno));
        return false;
    }
    // The rename itself is durable only once the folder is on disk.
    int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        ::fsync(folderFd);
        ::close(folderFd);
    }
    return true;
}

}  // namespace harbormind
