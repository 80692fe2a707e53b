#include "engines/clone/CloneSysfs.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

namespace harbormind::clone {
namespace {

namespace fs = std::filesystem;

std::string number(dev_t device) {
    return std::to_string(major(device)) + ":" + std::to_string(minor(device));
}

std::optional<dev_t> parseNumber(const std::string& text) {
    unsigned majorNumber = 0;
    unsigned minorNumber = 0;
    char colon = 0;
    std::istringstream in(text);
    if (!(in >> majorNumber >> colon >> minorNumber) || colon != ':') {
        return std::nullopt;
    }
    return makedev(majorNumber, minorNumber);
}

std::string trimmed(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ' || text.back() == '\0')) {
        text.pop_back();
    }
    std::size_t start = text.find_first_not_of(' ');
    return start == std::string::npos ? std::string() : text.substr(start);
}

std::uint64_t count(const std::optional<std::string>& text) {
    std::uint64_t value = 0;
    if (text) {
        std::from_chars(text->data(), text->data() + text->size(), value);
    }
    return value;
}

// The part [start, start + length) of a device stored as `parent`.
std::vector<CloneStorageExtent> within(std::vector<CloneStorageExtent> parent, std::uint64_t start,
                                       std::uint64_t length) {
    if (parent.size() != 1 || !parent[0].linear) {
        return parent;  // where the bytes go is not known: all of it counts
    }
    CloneStorageExtent extent = parent[0];
    extent.end = std::min(extent.end, extent.begin + start + length);
    extent.begin += start;
    return {extent};
}

}  // namespace

CloneSysfs::CloneSysfs(std::string sysRoot, std::string udevData, std::string mountInfo, std::string swaps)
    : sysRoot_(std::move(sysRoot)),
      udevData_(std::move(udevData)),
      mountInfo_(std::move(mountInfo)),
      swaps_(std::move(swaps)) {}

std::string CloneSysfs::folder(dev_t device) const {
    std::error_code error;
    fs::path resolved = fs::canonical(fs::path(sysRoot_) / "dev" / "block" / number(device), error);
    return error ? std::string() : resolved.string();
}

std::optional<std::string> CloneSysfs::attribute(const std::string& path) const {
    std::ifstream in(path);
    if (!in) {
        return std::nullopt;
    }
    std::stringstream text;
    text << in.rdbuf();
    std::string value = trimmed(text.str());
    if (value.empty() || value.find('\n') != std::string::npos) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::string> CloneSysfs::udevProperty(dev_t device, const std::string& key) const {
    std::ifstream in(udevData_ + "/b" + number(device));
    std::string line;
    const std::string prefix = "E:" + key + "=";
    while (std::getline(in, line)) {
        if (line.compare(0, prefix.size(), prefix) == 0 && line.size() > prefix.size()) {
            return line.substr(prefix.size());
        }
    }
    return std::nullopt;
}

std::optional<std::string> CloneSysfs::name(dev_t device) const {
    std::string path = folder(device);
    if (path.empty()) {
        return std::nullopt;
    }
    return fs::path(path).filename().string();
}

dev_t CloneSysfs::wholeDisk(dev_t device) const {
    std::string path = folder(device);
    if (path.empty() || !fs::exists(fs::path(path) / "partition")) {
        return device;
    }
    auto parent = attribute((fs::path(path).parent_path() / "dev").string());
    auto disk = parent ? parseNumber(*parent) : std::nullopt;
    return disk.value_or(device);
}

std::vector<dev_t> CloneSysfs::deviceAndPartitions(dev_t device) const {
    std::vector<dev_t> devices{device};
    std::string path = folder(device);
    std::error_code error;
    if (path.empty()) {
        return devices;
    }
    for (const auto& entry : fs::directory_iterator(path, error)) {
        if (!fs::exists(entry.path() / "partition")) {
            continue;
        }
        auto text = attribute((entry.path() / "dev").string());
        if (auto child = text ? parseNumber(*text) : std::nullopt) {
            devices.push_back(*child);
        }
    }
    return devices;
}

std::optional<CloneSysfs::Mount> CloneSysfs::mountedOn(dev_t device) const {
    return findMount(device, false);
}

std::optional<CloneSysfs::Mount> CloneSysfs::mountedWritableOn(dev_t device) const {
    return findMount(device, true);
}

std::optional<CloneSysfs::Mount> CloneSysfs::findMount(dev_t device, bool writableOnly) const {
    std::map<std::string, dev_t> numbers;
    for (dev_t each : deviceAndPartitions(device)) {
        numbers.emplace(number(each), each);
    }
    std::ifstream in(mountInfo_);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string id, parent, majorMinor, root, mountPoint, options;
        if (!(fields >> id >> parent >> majorMinor >> root >> mountPoint >> options) || !numbers.count(majorMinor)) {
            continue;
        }
        if (!writableOnly || options.rfind("rw", 0) == 0) {
            dev_t mounted = numbers.at(majorMinor);
            return Mount{name(mounted).value_or(majorMinor), mountPoint};
        }
    }
    return std::nullopt;
}

bool CloneSysfs::usedAsSwap(dev_t device) const {
    std::vector<dev_t> devices = deviceAndPartitions(device);
    std::ifstream in(swaps_);
    std::string line;
    std::getline(in, line);  // the heading
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string path;
        struct stat info {};
        if (fields >> path && ::stat(path.c_str(), &info) == 0 && S_ISBLK(info.st_mode)) {
            for (dev_t each : devices) {
                if (each == info.st_rdev) {
                    return true;
                }
            }
        }
    }
    return false;
}

std::optional<std::string> CloneSysfs::diskIdentity(dev_t disk) const {
    fs::path path = folder(disk);
    if (path.empty()) {
        return std::nullopt;
    }
    if (auto backing = attribute((path / "loop" / "backing_file").string())) {
        return "loop:" + *backing + "@" + attribute((path / "loop" / "offset").string()).value_or("0");
    }
    if (auto uuid = attribute((path / "dm" / "uuid").string())) {
        return "dm:" + *uuid;
    }
    for (const char* key : {"ID_WWN_WITH_EXTENSION", "ID_WWN"}) {
        if (auto wwn = udevProperty(disk, key)) {
            return "wwn:" + *wwn;
        }
    }
    if (auto serial = udevProperty(disk, "ID_SERIAL")) {
        return "serial:" + *serial;
    }
    for (const char* file : {"wwid", "device/wwid"}) {
        if (auto wwid = attribute((path / file).string())) {
            return "wwid:" + *wwid;
        }
    }
    for (const char* file : {"serial", "device/serial"}) {
        if (auto serial = attribute((path / file).string())) {
            return "serial:" + *serial;
        }
    }
    return std::nullopt;
}

std::optional<std::string> CloneSysfs::stableIdentity(dev_t device) const {
    dev_t disk = wholeDisk(device);
    auto identity = diskIdentity(disk);
    if (!identity || disk == device) {
        return identity;
    }
    auto partition = attribute(folder(device) + "/partition");
    if (!partition) {
        return std::nullopt;
    }
    return *identity + "#" + *partition;
}

std::vector<CloneStorageExtent> CloneSysfs::storageOf(dev_t device) const {
    return storageOf(device, 0);
}

std::vector<CloneStorageExtent> CloneSysfs::storageOf(dev_t device, int depth) const {
    fs::path path = folder(device);
    std::string name = path.empty() ? number(device) : path.filename().string();
    std::uint64_t size = count(attribute((path / "size").string())) * 512;
    CloneStorageExtent whole{"dev:" + number(device), name, 0, size == 0 ? UINT64_MAX : size};
    if (path.empty() || depth > 8) {
        return {whole};
    }
    if (fs::exists(path / "partition")) {
        std::uint64_t start = count(attribute((path / "start").string())) * 512;
        return within(storageOf(wholeDisk(device), depth + 1), start, size);
    }
    if (fs::exists(path / "loop" / "backing_file")) {
        return loopStorage(path.string(), size, depth);
    }
    std::vector<CloneStorageExtent> under;
    std::error_code error;
    for (const auto& slave : fs::directory_iterator(path / "slaves", error)) {
        auto text = attribute((slave.path() / "dev").string());
        auto slaveDevice = text ? parseNumber(*text) : std::nullopt;
        for (CloneStorageExtent extent : slaveDevice ? storageOf(*slaveDevice, depth + 1)
                                                      : std::vector<CloneStorageExtent>{}) {
            extent.linear = false;
            under.push_back(std::move(extent));
        }
    }
    return under.empty() ? std::vector<CloneStorageExtent>{whole} : under;
}

std::vector<CloneStorageExtent> CloneSysfs::loopStorage(const std::string& folder, std::uint64_t size,
                                                        int depth) const {
    fs::path loop = fs::path(folder) / "loop";
    std::string backing = attribute((loop / "backing_file").string()).value_or("");
    std::uint64_t offset = count(attribute((loop / "offset").string()));
    struct stat info {};
    if (::stat(backing.c_str(), &info) == 0 && S_ISBLK(info.st_mode)) {
        return within(storageOf(info.st_rdev, depth + 1), offset, size);
    }
    std::string base = ::stat(backing.c_str(), &info) == 0
                           ? "file:" + number(info.st_dev) + ":" + std::to_string(info.st_ino)
                           : "path:" + backing;  // gone or elsewhere: its name is all we have
    return {{base, backing, offset, offset + size, true}};
}

std::optional<std::string> CloneSysfs::nameWithIdentity(const std::string& identity) const {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(fs::path(sysRoot_) / "class" / "block", error)) {
        auto text = attribute((entry.path() / "dev").string());
        auto device = text ? parseNumber(*text) : std::nullopt;
        if (device && stableIdentity(*device) == identity) {
            return entry.path().filename().string();
        }
    }
    return std::nullopt;
}

}  // namespace harbormind::clone
