#include "platform/linux/disks/SysfsBlockDevice.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

#include <algorithm>
#include <filesystem>

namespace harbormind {
namespace fs = std::filesystem;

namespace {

std::string trim(std::string text) {
    auto notSpace = [](unsigned char c) { return std::isspace(c) == 0; };
    text.erase(text.begin(), std::find_if(text.begin(), text.end(), notSpace));
    text.erase(std::find_if(text.rbegin(), text.rend(), notSpace).base(), text.end());
    return text;
}

// A folder opened once, so that each attribute below it is one short lookup instead of a walk
// of the whole path (and of the class/block link) for every attribute.
class Folder {
public:
    Folder(int parent, const char* path, int flags) : fd_(::openat(parent, path, O_PATH | O_CLOEXEC | flags)) {}
    ~Folder() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    int fd() const { return fd_; }
    bool has(const char* name) const { return ::faccessat(fd_, name, F_OK, 0) == 0; }

    // The folder's canonical path, as the kernel resolved it; none when it went away meanwhile.
    std::optional<std::string> path() const {
        char buffer[4096];
        std::string link = "/proc/self/fd/" + std::to_string(fd_);
        ssize_t length = ::readlink(link.c_str(), buffer, sizeof(buffer));
        if (length <= 0 || static_cast<std::size_t>(length) >= sizeof(buffer)) {
            return std::nullopt;
        }
        std::string text(buffer, static_cast<std::size_t>(length));
        if (text.front() != '/' || text.ends_with(" (deleted)")) {
            return std::nullopt;
        }
        return text;
    }

private:
    int fd_;
};

// A sysfs attribute is one short page: one open and one read, without a stream.
std::optional<std::string> readAttribute(int folder, const char* name) {
    int fd = ::openat(folder, name, O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    // A read error (some attributes answer EIO) ends the text there, as end of file would. The
    // kernel hands over an attribute whole in its first read, so a read that does not fill
    // the buffer was the last one.
    std::string text;
    char buffer[4096];
    for (;;) {
        ssize_t got = ::read(fd, buffer, sizeof(buffer));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;
        }
        text.append(buffer, static_cast<std::size_t>(got));
        if (static_cast<std::size_t>(got) < sizeof(buffer)) {
            break;
        }
    }
    ::close(fd);
    return trim(std::move(text));
}

std::optional<std::int64_t> readNumber(int folder, const char* name) {
    auto text = readAttribute(folder, name);
    if (!text || text->empty()) {
        return std::nullopt;
    }
    try {
        std::size_t used = 0;
        long long value = std::stoll(*text, &used);
        if (used != text->size()) {
            return std::nullopt;
        }
        return value;
    } catch (...) {
        return std::nullopt;
    }
}

std::vector<std::string> listFolder(int folder, const char* name) {
    std::vector<std::string> names;
    int fd = ::openat(folder, name, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return names;
    }
    DIR* dir = ::fdopendir(fd);
    if (dir == nullptr) {
        ::close(fd);
        return names;
    }
    while (const dirent* entry = ::readdir(dir)) {
        std::string entryName = entry->d_name;
        if (entryName != "." && entryName != "..") {
            names.push_back(std::move(entryName));
        }
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> listFolder(const fs::path& path) {
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(path, error), end; !error && it != end; it.increment(error)) {
        names.push_back(it->path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool startsWith(const std::string& text, const std::string& prefix) {
    return text.rfind(prefix, 0) == 0;
}

// The first of `names` that has a non-empty attribute under `folder`.
std::string firstAttribute(int folder, std::initializer_list<const char*> names) {
    for (const char* name : names) {
        if (auto value = readAttribute(folder, name); value && !value->empty()) {
            return *value;
        }
    }
    return {};
}

}  // namespace

BlockBus SysfsBlockDevice::busOfPath(const std::string& hardwarePath) {
    std::vector<std::string> parts;
    for (const auto& part : fs::path(hardwarePath)) {
        parts.push_back(part.string());
    }
    auto any = [&parts](auto predicate) { return std::any_of(parts.begin(), parts.end(), predicate); };
    if (any([](const std::string& p) { return startsWith(p, "usb"); })) {
        return BlockBus::Usb;
    }
    if (any([](const std::string& p) { return startsWith(p, "fw") || p == "firewire"; })) {
        return BlockBus::FireWire;
    }
    if (any([](const std::string& p) { return startsWith(p, "mmc"); })) {
        return BlockBus::Sd;
    }
    if (any([](const std::string& p) { return startsWith(p, "end_device-"); })) {
        return BlockBus::Sas;
    }
    if (any([](const std::string& p) { return startsWith(p, "ata"); })) {
        return BlockBus::Sata;
    }
    if (any([](const std::string& p) { return startsWith(p, "nvme"); })) {
        return BlockBus::Nvme;
    }
    if (any([](const std::string& p) { return startsWith(p, "virtio"); })) {
        return BlockBus::Virtio;
    }
    if (any([](const std::string& p) { return p == "virtual"; })) {
        return BlockBus::Virtual;
    }
    if (any([](const std::string& p) { return startsWith(p, "host") || startsWith(p, "target"); })) {
        return BlockBus::Scsi;
    }
    if (any([](const std::string& p) { return startsWith(p, "pci"); })) {
        return BlockBus::Pci;
    }
    return BlockBus::Unknown;
}

std::optional<SysfsBlockDevice> SysfsBlockDevice::read(const std::string& sysfsRoot, const std::string& name) {
    if (name.empty() || name.find('/') != std::string::npos || name == "." || name == "..") {
        return std::nullopt;
    }
    const std::string link = sysfsRoot + "/class/block/" + name;
    Folder folder(AT_FDCWD, link.c_str(), O_DIRECTORY);
    std::optional<std::string> folderPath = folder.isOpen() ? folder.path() : std::nullopt;
    if (!folderPath) {
        return std::nullopt;
    }

    SysfsBlockDevice device;
    device.name = name;
    device.sysPath = *folderPath;
    device.devNumber = readAttribute(folder.fd(), "dev").value_or("");
    // The size is in 512-byte sectors; a count too large for bytes (no real device) reads as 0.
    const std::int64_t sectors = readNumber(folder.fd(), "size").value_or(0);
    device.sizeBytes = sectors > 0 && sectors <= INT64_MAX / 512 ? sectors * 512 : 0;
    device.readOnly = readNumber(folder.fd(), "ro").value_or(0) != 0;
    device.hidden = readNumber(folder.fd(), "hidden").value_or(0) != 0;
    device.holders = listFolder(folder.fd(), "holders");
    device.slaves = listFolder(folder.fd(), "slaves");

    fs::path diskPath = device.sysPath;
    const bool partition = folder.has("partition");
    Folder disk(folder.fd(), partition ? ".." : ".", O_DIRECTORY);
    if (partition) {
        device.isPartition = true;
        device.partitionNumber = readNumber(folder.fd(), "partition");
        device.startSector = readNumber(folder.fd(), "start");
        if (device.startSector && (*device.startSector < 0 || *device.startSector > INT64_MAX / 512)) {
            device.startSector.reset();
        }
        diskPath = diskPath.parent_path();
        device.wholeDiskName = diskPath.filename().string();
    } else {
        device.wholeDiskName = name;
    }

    device.removable = readNumber(disk.fd(), "removable").value_or(0) != 0;
    if (auto rotational = readNumber(disk.fd(), "queue/rotational")) {
        device.rotational = *rotational != 0;
    }
    if (auto backing = readAttribute(disk.fd(), "loop/backing_file"); backing && !backing->empty()) {
        device.loopBackingFile = backing;
    }
    if (auto mapper = readAttribute(folder.fd(), "dm/name"); mapper && !mapper->empty()) {
        device.mapperName = mapper;
        device.mapperUuid = readAttribute(folder.fd(), "dm/uuid");
    }

    Folder hardware(disk.fd(), "device", 0);
    std::optional<std::string> hardwarePath = hardware.isOpen() ? hardware.path() : std::nullopt;
    if (hardwarePath) {
        device.hardwarePath = hardwarePath;
        device.vendor = firstAttribute(hardware.fd(), {"vendor"});
        device.model = firstAttribute(hardware.fd(), {"model"});
        device.serial = firstAttribute(hardware.fd(), {"serial"});
        device.bus = busOfPath(*hardwarePath);
        // A virtio or PCI function id ("0x1af4") is no vendor name.
        if (startsWith(device.vendor, "0x")) {
            device.vendor.clear();
        }
    } else {
        device.bus = busOfPath(diskPath.string());
    }
    if (device.serial.empty()) {
        device.serial = firstAttribute(disk.fd(), {"serial", "wwid"});
    }
    return device;
}

bool SysfsBlockDevice::isEmpty(const std::string& sysfsRoot, const std::string& name) {
    if (name.empty() || name.find('/') != std::string::npos || name == "." || name == "..") {
        return false;
    }
    return readNumber(AT_FDCWD, (sysfsRoot + "/class/block/" + name + "/size").c_str()) == 0;
}

std::vector<std::string> SysfsBlockDevice::list(const std::string& sysfsRoot) {
    std::vector<std::string> names = listFolder(fs::path(sysfsRoot) / "class" / "block");
    // Shorter names first puts sda before sda1 and loop3 before loop3p1.
    std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    return names;
}

}  // namespace harbormind
