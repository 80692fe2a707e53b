#include "daemon/linux/BlockDeviceCheck.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <vector>

#include "daemon/DeviceNameSyntax.h"

namespace harbormind {
namespace {

namespace fs = std::filesystem;

std::string devNumber(unsigned major, unsigned minor) {
    return std::to_string(major) + ":" + std::to_string(minor);
}

// Where the path leads, or empty when it leads nowhere.
std::string resolved(const std::string& path) {
    char buffer[PATH_MAX];
    if (!::realpath(path.c_str(), buffer)) {
        return {};
    }
    return buffer;
}

// The major:minor numbers mounted anywhere in this process's view.
std::set<std::string> mountedNumbers(const std::string& procRoot) {
    std::set<std::string> numbers;
    std::ifstream mountinfo(procRoot + "/self/mountinfo");
    std::string line;
    while (std::getline(mountinfo, line)) {
        std::istringstream fields(line);
        std::string id, parent, number;
        if (fields >> id >> parent >> number) {
            numbers.insert(number);
        }
    }
    return numbers;
}

// The kernel names of devices in use as swap.
std::set<std::string> swapNames(const std::string& procRoot) {
    std::set<std::string> names;
    std::ifstream swaps(procRoot + "/swaps");
    std::string line;
    std::getline(swaps, line);
    while (std::getline(swaps, line)) {
        std::istringstream fields(line);
        std::string path;
        if (fields >> path) {
            names.insert(fs::path(resolved(path)).filename().string());
        }
    }
    return names;
}

std::string firstLine(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

}  // namespace

BlockDeviceCheck::BlockDeviceCheck(std::string sysRoot, std::string procRoot)
    : sysRoot_(std::move(sysRoot)), procRoot_(std::move(procRoot)) {}

std::optional<std::string> BlockDeviceCheck::check(const std::string& argument, DeviceArgumentForm form,
                                                   DeviceUse use) {
    if (!DeviceNameSyntax::problem(argument, form).empty()) {
        return std::nullopt;
    }
    std::string path = form == DeviceArgumentForm::name ? "/dev/" + argument : argument;
    struct stat link {};
    if (form == DeviceArgumentForm::path && ::lstat(path.c_str(), &link) != 0 && path.starts_with("/dev/r")) {
        // "/dev/r" + name is how the application names a device for raw copying.
        path = "/dev/" + path.substr(6);
    }
    std::string real = resolved(path);
    if (!real.starts_with("/dev/")) {
        return std::nullopt;
    }
    int fd = ::open(real.c_str(), O_PATH | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        return std::nullopt;
    }
    struct stat status {};
    bool stated = ::fstat(fd, &status) == 0;
    ::close(fd);
    if (!stated || !S_ISBLK(status.st_mode)) {
        return std::nullopt;
    }
    unsigned major = ::major(status.st_rdev);
    unsigned minor = ::minor(status.st_rdev);
    std::error_code error;
    fs::path sysfs = fs::canonical(sysRoot_ + "/dev/block/" + devNumber(major, minor), error);
    if (error || !fs::exists(sysfs / "dev") || firstLine(sysfs / "dev") != devNumber(major, minor)) {
        return std::nullopt;
    }
    std::string kernelName = sysfs.filename().string();
    if (use == DeviceUse::overwrite && inUse(kernelName, major, minor)) {
        return std::nullopt;
    }
    return form == DeviceArgumentForm::name ? kernelName : "/dev/" + kernelName;
}

bool BlockDeviceCheck::inUse(const std::string& kernelName, unsigned major, unsigned minor) const {
    std::set<std::string> mounted = mountedNumbers(procRoot_);
    std::set<std::string> swap = swapNames(procRoot_);
    std::error_code error;
    fs::path device = fs::canonical(sysRoot_ + "/class/block/" + kernelName, error);
    if (error) {
        return true;
    }
    // The device itself, and every partition of it (its subfolders with a "partition" file).
    std::vector<std::pair<fs::path, std::string>> parts{{device, devNumber(major, minor)}};
    for (const auto& entry : fs::directory_iterator(device, error)) {
        if (fs::exists(entry.path() / "partition")) {
            parts.emplace_back(entry.path(), firstLine(entry.path() / "dev"));
        }
    }
    for (const auto& [folder, number] : parts) {
        bool held = fs::exists(folder / "holders") && !fs::is_empty(folder / "holders", error);
        if (held || mounted.contains(number) || swap.contains(folder.filename().string())) {
            return true;
        }
    }
    return false;
}

}  // namespace harbormind
