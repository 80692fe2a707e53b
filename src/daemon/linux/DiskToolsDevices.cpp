#include "daemon/linux/DiskToolsDevices.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace harbormind {
namespace {

namespace fs = std::filesystem;

// Mount points as the mount table writes them: spaces and the like as octal escapes.
std::string unescape(const std::string& field) {
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            std::string digits = field.substr(i + 1, 3);
            if (digits.size() == 3 && std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '7'; })) {
                out += static_cast<char>(std::stoi(digits, nullptr, 8));
                i += 3;
                continue;
            }
        }
        out += field[i];
    }
    return out;
}

bool within(const std::string& path, const std::string& folder) {
    if (folder == "/") {
        return true;
    }
    return path == folder || path.rfind(folder + "/", 0) == 0;
}

bool systemMount(const std::string& point) {
    static const char* const system[] = {"/", "/boot", "/boot/efi", "/usr", "/var", "/etc", "/opt", "/srv"};
    return std::find(std::begin(system), std::end(system), point) != std::end(system);
}

}  // namespace

DiskToolsDevices::DiskToolsDevices(std::string sysRoot, std::string procRoot, std::string home)
    : sysRoot_(std::move(sysRoot)), procRoot_(std::move(procRoot)), home_(std::move(home)) {}

std::string DiskToolsDevices::folderOf(const std::string& name) const {
    std::error_code error;
    fs::path link = fs::path(sysRoot_) / "class/block" / name;
    fs::path resolved = fs::canonical(link, error);
    return error ? std::string() : resolved.string();
}

std::string DiskToolsDevices::read(const std::string& path) const {
    std::ifstream file(path);
    std::string value;
    std::getline(file, value);
    return value;
}

bool DiskToolsDevices::exists(const std::string& name) const {
    return !folderOf(name).empty();
}

bool DiskToolsDevices::isPartition(const std::string& name) const {
    std::string folder = folderOf(name);
    return !folder.empty() && fs::exists(folder + "/partition");
}

std::string DiskToolsDevices::diskOf(const std::string& name) const {
    if (!isPartition(name)) {
        return name;
    }
    return fs::path(folderOf(name)).parent_path().filename().string();
}

std::int64_t DiskToolsDevices::partitionNumber(const std::string& name) const {
    std::string value = read(folderOf(name) + "/partition");
    return value.empty() ? 0 : std::stoll(value);
}

std::vector<std::string> DiskToolsDevices::partitionsOf(const std::string& disk) const {
    std::vector<std::string> parts;
    std::string folder = folderOf(disk);
    std::error_code error;
    if (folder.empty()) {
        return parts;
    }
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        if (fs::exists(entry.path() / "partition")) {
            parts.push_back(entry.path().filename().string());
        }
    }
    std::sort(parts.begin(), parts.end());
    return parts;
}

std::int64_t DiskToolsDevices::sizeBytes(const std::string& name) const {
    std::string value = read(folderOf(name) + "/size");
    return value.empty() ? 0 : std::stoll(value) * 512;
}

std::int64_t DiskToolsDevices::logicalSectorSize(const std::string& disk) const {
    std::string value = read(folderOf(disk) + "/queue/logical_block_size");
    return value.empty() ? 512 : std::stoll(value);
}

bool DiskToolsDevices::isLoop(const std::string& name) const {
    return diskOf(name).rfind("loop", 0) == 0;
}

bool DiskToolsDevices::isVirtual(const std::string& name) const {
    std::string disk = diskOf(name);
    for (const char* prefix : {"dm-", "md", "zram", "ram", "nbd"}) {
        if (disk.rfind(prefix, 0) == 0) {
            return true;
        }
    }
    return false;
}

std::string DiskToolsDevices::whyInUse(const std::string& name) const {
    std::vector<std::string> devices{name};
    if (!isPartition(name)) {
        for (const auto& part : partitionsOf(name)) {
            devices.push_back(part);
        }
    }
    for (const auto& device : devices) {
        if (std::string why = whyOneInUse(device); !why.empty()) {
            return why;
        }
    }
    return {};
}

std::string DiskToolsDevices::whyOneInUse(const std::string& name) const {
    std::string folder = folderOf(name);
    std::string number = read(folder + "/dev");
    std::ifstream mounts(procRoot_ + "/self/mountinfo");
    std::string line;
    std::string mountedAt;
    while (std::getline(mounts, line)) {
        std::istringstream fields(line);
        std::string id, parent, device, root, point;
        fields >> id >> parent >> device >> root >> point;
        if (device != number || number.empty()) {
            continue;
        }
        point = unescape(point);
        if (systemMount(point)) {
            return name + " holds the running system (it is mounted at " + point + ")";
        }
        if (!home_.empty() && within(home_, point)) {
            return name + " holds your home folder (it is mounted at " + point + ")";
        }
        if (mountedAt.empty()) {
            mountedAt = point;
        }
    }
    if (!mountedAt.empty()) {
        return name + " is mounted at " + mountedAt + "; unmount it first";
    }
    std::ifstream swaps(procRoot_ + "/swaps");
    std::getline(swaps, line);
    while (std::getline(swaps, line)) {
        std::string path = line.substr(0, line.find_first_of(" \t"));
        if (path == "/dev/" + name) {
            return name + " is in use as swap space";
        }
    }
    std::error_code error;
    for (const auto& holder : fs::directory_iterator(folder + "/holders", error)) {
        return name + " is in use by " + holder.path().filename().string() +
               " (an unlocked encrypted volume, a RAID or a volume group)";
    }
    return {};
}

}  // namespace harbormind
