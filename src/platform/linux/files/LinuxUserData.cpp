#include "platform/linux/files/LinuxUserData.h"

#include <filesystem>
#include <system_error>

namespace harbormind {
namespace {

bool gone(const std::string& path) {
    std::error_code error;
    return std::filesystem::symlink_status(path, error).type() == std::filesystem::file_type::not_found;
}

}  // namespace

bool LinuxUserData::removeAll() {
    bool complete = true;
    for (const std::string& folder : folders_) {
        std::error_code error;
        // remove_all takes a link away without entering it.
        std::filesystem::remove_all(folder, error);
        complete = complete && gone(folder);
    }
    for (const std::string& file : files_) {
        std::error_code error;
        std::filesystem::remove(file, error);
        complete = complete && gone(file);
    }
    return complete;
}

}  // namespace harbormind
