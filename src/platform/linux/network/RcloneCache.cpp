#include "platform/linux/network/RcloneCache.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include <nlohmann/json.hpp>

namespace harbormind {
namespace {

// Whether rclone still holds this cached file's changes for the server: its record says
// so, or the file changed after its record was written (rclone records a written file when
// it is released), or it has no record yet.
bool unsentCacheFile(const std::filesystem::path& data, const std::filesystem::path& metadata) {
    std::error_code error;
    auto recorded = std::filesystem::last_write_time(metadata, error);
    if (error) {
        return true;
    }
    auto changed = std::filesystem::last_write_time(data, error);
    if (!error && changed > recorded) {
        return true;
    }
    std::ifstream in(metadata);
    nlohmann::json info = nlohmann::json::parse(in, nullptr, false);
    return !info.is_object() || info.value("Dirty", false);
}

}  // namespace

std::string RcloneCache::folderName(const std::string& share) {
    std::uint64_t hash = 1469598103934665603ULL;
    for (unsigned char c : share) {
        hash = (hash ^ c) * 1099511628211ULL;
    }
    char buffer[17];
    std::snprintf(buffer, sizeof buffer, "%016llx", static_cast<unsigned long long>(hash));
    return buffer;
}

int RcloneCache::unsentFiles(const std::string& cacheFolder) {
    std::filesystem::path data = std::filesystem::path(cacheFolder) / "vfs";
    std::filesystem::path metadata = std::filesystem::path(cacheFolder) / "vfsMeta";
    std::error_code error;
    int unsent = 0;
    auto options = std::filesystem::directory_options::skip_permission_denied;
    for (std::filesystem::recursive_directory_iterator it(data, options, error), end; !error && it != end;
         it.increment(error)) {
        std::error_code kind;
        if (it->is_regular_file(kind) &&
            unsentCacheFile(it->path(), metadata / it->path().lexically_relative(data))) {
            ++unsent;
        }
    }
    return unsent;
}

}  // namespace harbormind
