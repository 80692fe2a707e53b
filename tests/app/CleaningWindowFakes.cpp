#include "CleaningWindowFakes.h"

#include <filesystem>

namespace harbormind::test {

bool RecordingWorkspace::exists(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(std::filesystem::symlink_status(path, error));
}

}  // namespace harbormind::test
