#include "engines/clone/CloneDevicePath.h"

#include <sys/stat.h>

namespace harbormind::clone {
namespace {

bool isBlockDevice(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISBLK(info.st_mode);
}

}  // namespace

std::string blockDevicePath(const std::string& path) {
    const std::string raw = "/dev/r";
    if (path.size() <= raw.size() || path.compare(0, raw.size(), raw) != 0 || isBlockDevice(path)) {
        return path;
    }
    std::string block = "/dev/" + path.substr(raw.size());
    return isBlockDevice(block) ? block : path;
}

}  // namespace harbormind::clone
