#include "system/support/BlockWriteThrottle.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <filesystem>
#include <fstream>

namespace harbormind::test {
namespace {

namespace fs = std::filesystem;
const fs::path blkioRoot = "/sys/fs/cgroup/blkio";

bool writeFile(const fs::path& path, const std::string& text) {
    std::ofstream out(path);
    out << text << "\n";
    out.close();
    return static_cast<bool>(out);
}

}  // namespace

BlockWriteThrottle::BlockWriteThrottle(pid_t process, const std::string& device, std::uint64_t bytesPerSecond,
                                       std::string& error)
    : process_(process) {
    struct stat info {};
    if (::stat(device.c_str(), &info) != 0 || !S_ISBLK(info.st_mode)) {
        error = device + " is no block device";
        return;
    }
    if (!fs::exists(blkioRoot / "blkio.throttle.write_bps_device")) {
        error = "no blkio controller with write throttling at " + blkioRoot.string();
        return;
    }
    fs::path group = blkioRoot / ("harbormind-system-" + std::to_string(process));
    std::error_code ignored;
    fs::create_directory(group, ignored);
    std::string rule = std::to_string(major(info.st_rdev)) + ":" + std::to_string(minor(info.st_rdev)) + " " +
                       std::to_string(bytesPerSecond);
    if (!writeFile(group / "blkio.throttle.write_bps_device", rule) ||
        !writeFile(group / "cgroup.procs", std::to_string(process))) {
        error = "cannot throttle " + device + " for process " + std::to_string(process) + " in " + group.string();
        fs::remove(group, ignored);
        return;
    }
    group_ = group.string();
}

BlockWriteThrottle::~BlockWriteThrottle() {
    release();
}

void BlockWriteThrottle::release() {
    if (group_.empty()) {
        return;
    }
    writeFile(blkioRoot / "cgroup.procs", std::to_string(process_));
    std::error_code ignored;
    fs::remove(group_, ignored);
    group_.clear();
}

}  // namespace harbormind::test
