#include "engines/checkdisk/DeviceIdentity.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <climits>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace harbormind {
namespace {

std::string realPathOf(const std::string& path) {
    char buffer[PATH_MAX];
    return ::realpath(path.c_str(), buffer) ? std::string(buffer) : std::string();
}

std::string numberText(dev_t number) {
    return std::to_string(major(number)) + ":" + std::to_string(minor(number));
}

bool isOctal(char c) {
    return c >= '0' && c <= '7';
}

// Undoes the octal escapes (\040 for a space) of a mountinfo field.
std::string unescaped(const std::string& field) {
    std::string result;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && isOctal(field[i + 1]) && isOctal(field[i + 2]) &&
            isOctal(field[i + 3])) {
            result += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                                        (field[i + 3] - '0'));
            i += 3;
        } else {
            result += field[i];
        }
    }
    return result;
}

}  // namespace

std::optional<DeviceIdentity> DeviceIdentity::of(const std::string& devicePath) {
    struct stat status {};
    if (::stat(devicePath.c_str(), &status) != 0) {
        return std::nullopt;
    }
    DeviceIdentity identity;
    identity.path_ = devicePath;
    identity.realPath_ = realPathOf(devicePath);
    identity.block_ = S_ISBLK(status.st_mode);
    identity.number_ = identity.block_ ? status.st_rdev : status.st_dev;
    return identity;
}

bool DeviceIdentity::isPresent() const {
    struct stat status {};
    if (::stat(path_.c_str(), &status) != 0) {
        return false;
    }
    if (!block_) {
        return true;
    }
    if (!S_ISBLK(status.st_mode) || status.st_rdev != number_) {
        return false;
    }
    // A detached loop device or an emptied card reader keeps its node but has no size.
    std::ifstream size("/sys/dev/block/" + numberText(number_) + "/size");
    long long sectors = 0;
    return static_cast<bool>(size >> sectors) && sectors > 0;
}

bool DeviceIdentity::isMounted() const {
    return mountPoint().has_value();
}

std::optional<std::string> DeviceIdentity::mountPoint() const {
    std::ifstream mountinfo("/proc/self/mountinfo");
    std::string line;
    std::string number = numberText(number_);
    while (std::getline(mountinfo, line)) {
        std::istringstream fields(line);
        std::string id, parent, devNumber, root, point;
        fields >> id >> parent >> devNumber >> root >> point;
        if (block_ && devNumber == number) {
            return unescaped(point);
        }
        auto separator = line.find(" - ");
        if (separator == std::string::npos) {
            continue;
        }
        std::istringstream tail(line.substr(separator + 3));
        std::string type, source;
        tail >> type >> source;
        std::string sourcePath = unescaped(source);
        if (!sourcePath.empty() && sourcePath.front() == '/' && realPathOf(sourcePath) == realPath_ &&
            !realPath_.empty()) {
            return unescaped(point);
        }
    }
    return std::nullopt;
}

}  // namespace harbormind
