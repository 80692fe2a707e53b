// A block device's sysfs attributes as the kernel (or a hostile FUSE file system mounted over
// sysfs) could present them: each input line becomes one attribute of a disk and its partition.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/linux/disks/SysfsBlockDevice.h"

namespace {

namespace fs = std::filesystem;

const fs::path& root() {
    // Never destroyed, so the exit handler below can still name it.
    static const fs::path* folder = new fs::path([] {
        fs::path made = fs::temp_directory_path() / ("hm-fuzz-sysfs-" + std::to_string(::getpid()));
        fs::path disk = made / "devices" / "virtual" / "block" / "fz0";
        fs::create_directories(disk / "fz0p1");
        fs::create_directories(disk / "queue");
        fs::create_directories(disk / "loop");
        fs::create_directories(disk / "fz0p1" / "dm");
        fs::create_directories(made / "class" / "block");
        fs::create_directory_symlink(disk, made / "class" / "block" / "fz0");
        fs::create_directory_symlink(disk / "fz0p1", made / "class" / "block" / "fz0p1");
        std::atexit([] {
            std::error_code ignored;
            fs::remove_all(root(), ignored);
        });
        return made;
    }());
    return *folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::vector<std::string> attributes = {
        "size", "dev", "ro", "removable", "queue/rotational", "loop/backing_file", "fz0p1/size",
        "fz0p1/partition", "fz0p1/start", "fz0p1/hidden", "fz0p1/dm/name", "fz0p1/dm/uuid",
    };
    const fs::path disk = root() / "devices" / "virtual" / "block" / "fz0";
    std::string text(reinterpret_cast<const char*>(data), size);
    std::size_t begin = 0;
    for (const auto& attribute : attributes) {
        std::size_t end = text.find('\n', begin);
        std::string value = begin <= text.size() ? text.substr(begin, end == std::string::npos ? std::string::npos : end - begin) : "";
        std::ofstream(disk / attribute, std::ios::trunc) << value;
        begin = end == std::string::npos ? text.size() + 1 : end + 1;
    }
    harbormind::SysfsBlockDevice::read(root().string(), "fz0");
    harbormind::SysfsBlockDevice::read(root().string(), "fz0p1");
    harbormind::SysfsBlockDevice::busOfPath(text);
    return 0;
}
