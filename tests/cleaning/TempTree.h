#pragma once

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
    // A file of `size` bytes (sparse, so large sizes cost no disk space).
    std::string file(const std::string& relative, std::int64_t size) const {
        std::filesystem::create_directories((root_ / relative).parent_path());
        std::ofstream(root_ / relative).close();
        std::filesystem::resize_file(root_ / relative, static_cast<std::uintmax_t>(size));
        return path(relative);
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
