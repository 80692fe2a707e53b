#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace harbormind::test {

// A real folder under the temporary directory, removed with everything in it afterwards.
class TempTree {
public:
    TempTree() {
        std::string pattern = (std::filesystem::temp_directory_path() / "hm-cleaning-XXXXXX").string();
        root_ = ::mkdtemp(pattern.data());
    }
    ~TempTree() {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    std::string path(const std::string& relative = {}) const {
        return relative.empty() ? root_.string() : (root_ / relative).string();
    }
    // A file of `size` bytes whose blocks are allocated (without writing them), so it takes on
    // disk what a written file of that length takes.
    std::string file(const std::string& relative, std::int64_t size) const {
        std::filesystem::create_directories((root_ / relative).parent_path());
        int fd = ::open((root_ / relative).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd >= 0) {
            if (size > 0 && ::posix_fallocate(fd, 0, static_cast<off_t>(size)) != 0) {
                [[maybe_unused]] int ignored = ::ftruncate(fd, static_cast<off_t>(size));
            }
            ::close(fd);
        }
        return path(relative);
    }
    // What a file takes on disk (its allocated blocks), as a scan that measures that counts it.
    std::int64_t onDisk(const std::string& relative) const {
        struct stat facts {};
        return ::lstat((root_ / relative).c_str(), &facts) == 0 ? static_cast<std::int64_t>(facts.st_blocks) * 512 : 0;
    }
    // Puts a new file (a new inode) in place of an existing entry, as another program would.
    std::string replaceWithFile(const std::string& relative, std::int64_t size) const {
        file(relative + ".new", size);
        std::filesystem::rename(root_ / (relative + ".new"), root_ / relative);
        return path(relative);
    }
    std::string folder(const std::string& relative) const {
        std::filesystem::create_directories(root_ / relative);
        return path(relative);
    }
    std::string link(const std::string& relative, const std::string& target) const {
        std::filesystem::create_directories((root_ / relative).parent_path());
        std::filesystem::create_symlink(target, root_ / relative);
        return path(relative);
    }
    bool exists(const std::string& relative) const {
        return std::filesystem::exists(std::filesystem::symlink_status(root_ / relative));
    }

private:
    std::filesystem::path root_;
};

}  // namespace harbormind::test
