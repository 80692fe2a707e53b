#pragma once

#include <string>

namespace harbormind {

// rclone's cache folder of one share, where written files wait until they reach the server:
// each file's data under "vfs", its record under "vfsMeta".
class RcloneCache {
public:
    // A short stable name for a share, for its cache folder.
    static std::string folderName(const std::string& share);
    // How many cached files rclone still holds changes of for the server.
    static int unsentFiles(const std::string& cacheFolder);
};

}  // namespace harbormind
