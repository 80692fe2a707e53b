#include "platform/linux/disks/LinuxDeviceRegistry.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/linux/disks/LinuxDiskDescriber.h"

namespace harbormind {
namespace fs = std::filesystem;

namespace {

std::optional<std::string> readAttribute(const fs::path& path) {
    std::ifstream in(path);
    if (!in) {
        return std::nullopt;
    }
    std::stringstream buffer;
    buffer << in.rdbuf();
    std::string text = buffer.str();
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())) != 0) {
        text.pop_back();
    }
    std::size_t start = 0;
    while (start < text.size() && std::isspace(static_cast<unsigned char>(text[start])) != 0) {
        ++start;
    }
    text.erase(0, start);
    if (text.empty()) {
        return std::nullopt;
    }
    return text;
}

std::string upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

// The partition folders in a disk's sysfs folder, sorted. The kernel names a partition after
// its disk (sda1, nvme0n1p2), so only such folders are looked into.
std::vector<std::string> partitionFolders(const std::string& folder, const std::string& diskName) {
    std::vector<std::string> paths;
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return paths;
    }
    DIR* dir = ::fdopendir(fd);
    if (dir == nullptr) {
        ::close(fd);
        return paths;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.starts_with(diskName) && ::faccessat(fd, (name + "/partition").c_str(), F_OK, 0) == 0) {
            paths.push_back(folder + "/" + name);
        }
    }
    ::closedir(dir);
    std::sort(paths.begin(), paths.end());
    return paths;
}

bool isBlockFolder(const fs::path& folder) {
    std::error_code error;
    return fs::exists(folder / "dev", error) && folder.parent_path().filename() != "" &&
           (folder.parent_path().filename() == "block" || fs::exists(folder / "partition", error));
}

}  // namespace

LinuxDeviceRegistry::LinuxDeviceRegistry(LinuxPaths paths, Prober prober, Reader reader)
    : paths_(std::move(paths)), prober_(std::move(prober)), reader_(std::move(reader)) {}

std::optional<SysfsBlockDevice> LinuxDeviceRegistry::readDevice(const std::string& name) {
    return reader_ ? reader_(name) : SysfsBlockDevice::read(paths_.sysfsRoot, name);
}

RegistryEntryId LinuxDeviceRegistry::idFor(Kind kind, const std::string& path) {
    std::lock_guard lock(mutex_);
    auto key = std::make_pair(kind, path);
    auto it = ids_.find(key);
    if (it != ids_.end()) {
        return it->second;
    }
    RegistryEntryId id = nextId_++;
    ids_[key] = id;
    entries_[id] = Entry{kind, path};
    return id;
}

std::optional<LinuxDeviceRegistry::Entry> LinuxDeviceRegistry::entry(RegistryEntryId id) {
    std::lock_guard lock(mutex_);
    auto it = entries_.find(id);
    if (it == entries_.end()) {
        return std::nullopt;
    }
    return it->second;
}

std::optional<RegistryEntryId> LinuxDeviceRegistry::entryForName(const std::string& bsdName) {
    auto device = readDevice(bsdName);
    if (!device) {
        return std::nullopt;
    }
    return idFor(Kind::Media, device->sysPath);
}

std::optional<RegistryEntryId> LinuxDeviceRegistry::entryFromPath(const std::string& registryPath) {
    std::string name = registryPath;
    if (name.rfind("/dev/", 0) == 0) {
        name = name.substr(5);
    }
    if (name.find('/') == std::string::npos) {
        return entryForName(name);
    }
    std::error_code error;
    fs::path folder = fs::canonical(registryPath, error);
    fs::path devices = fs::canonical(fs::path(paths_.sysfsRoot) / "devices", error);
    if (error || !fs::is_directory(folder, error)) {
        return std::nullopt;
    }
    std::string text = folder.string();
    if (text.rfind(devices.string() + "/", 0) != 0) {
        return std::nullopt;
    }
    return idFor(isBlockFolder(folder) ? Kind::Media : Kind::Hardware, text);
}

std::optional<SysfsBlockDevice> LinuxDeviceRegistry::blockDevice(const std::string& folder) {
    const std::string name = fs::path(folder).filename().string();
    auto device = readDevice(name);
    // The name may have gone to another device since the entry was made (a reattached loop).
    if (device && device->sysPath != folder && reader_) {
        device = SysfsBlockDevice::read(paths_.sysfsRoot, name);
    }
    return device;
}

std::optional<RegistryEntryId> LinuxDeviceRegistry::parentEntry(RegistryEntryId id) {
    auto current = entry(id);
    if (!current) {
        return std::nullopt;
    }
    std::error_code error;
    switch (current->kind) {
        case Kind::Media: {
            auto device = blockDevice(current->path);
            if (!device) {
                return std::nullopt;
            }
            if (device->isPartition) {
                return idFor(Kind::Media, fs::path(current->path).parent_path().string());
            }
            if (!device->slaves.empty()) {
                if (auto below = readDevice(device->slaves.front())) {
                    return idFor(Kind::Media, below->sysPath);
                }
            }
            return idFor(Kind::Driver, current->path);
        }
        case Kind::Driver: {
            auto device = blockDevice(current->path);
            if (!device || !device->hardwarePath) {
                return std::nullopt;
            }
            return idFor(Kind::Hardware, *device->hardwarePath);
        }
        case Kind::Hardware: {
            fs::path devices = fs::canonical(fs::path(paths_.sysfsRoot) / "devices", error);
            fs::path parent = fs::path(current->path).parent_path();
            if (error || parent == devices || parent.string().rfind(devices.string() + "/", 0) != 0) {
                return std::nullopt;
            }
            return idFor(Kind::Hardware, parent.string());
        }
    }
    return std::nullopt;
}

std::vector<RegistryEntryId> LinuxDeviceRegistry::childEntries(RegistryEntryId id) {
    // Classifying the drives walks the same subtrees many times; looking once, they cannot
    // have changed meanwhile as far as this look is concerned.
    if (paths_.diskWatch == DiskWatch::Follow) {
        return readChildEntries(id);
    }
    {
        std::lock_guard lock(mutex_);
        if (auto it = children_.find(id); it != children_.end()) {
            return it->second;
        }
    }
    std::vector<RegistryEntryId> children = readChildEntries(id);
    std::lock_guard lock(mutex_);
    return children_.emplace(id, std::move(children)).first->second;
}

std::vector<RegistryEntryId> LinuxDeviceRegistry::readChildEntries(RegistryEntryId id) {
    std::vector<RegistryEntryId> children;
    auto current = entry(id);
    if (!current) {
        return children;
    }
    std::error_code error;
    switch (current->kind) {
        case Kind::Media: {
            auto device = blockDevice(current->path);
            if (!device) {
                break;
            }
            for (const auto& name : partitionFolders(current->path, device->name)) {
                children.push_back(idFor(Kind::Media, name));
            }
            for (const auto& holder : device->holders) {
                if (auto above = readDevice(holder)) {
                    children.push_back(idFor(Kind::Media, above->sysPath));
                }
            }
            break;
        }
        case Kind::Driver:
            children.push_back(idFor(Kind::Media, current->path));
            break;
        case Kind::Hardware: {
            std::vector<std::string> folders;
            for (fs::directory_iterator it(current->path, error), end; !error && it != end; it.increment(error)) {
                if (it->is_symlink(error) || !it->is_directory(error)) {
                    continue;
                }
                if (it->path().filename() == "block") {
                    for (fs::directory_iterator disk(it->path(), error), stop; !error && disk != stop;
                         disk.increment(error)) {
                        folders.push_back("driver:" + disk->path().string());
                    }
                } else if (fs::exists(it->path() / "uevent")) {
                    folders.push_back(it->path().string());
                }
            }
            std::sort(folders.begin(), folders.end());
            for (const auto& folder : folders) {
                if (folder.rfind("driver:", 0) == 0) {
                    children.push_back(idFor(Kind::Driver, folder.substr(7)));
                } else {
                    children.push_back(idFor(Kind::Hardware, folder));
                }
            }
            break;
        }
    }
    return children;
}

std::optional<PlatformValue> LinuxDeviceRegistry::property(RegistryEntryId id, const std::string& key) {
    auto current = entry(id);
    if (!current) {
        return std::nullopt;
    }
    switch (current->kind) {
        case Kind::Media: return mediaProperty(current->path, key);
        case Kind::Driver: return driverProperty(current->path, key);
        case Kind::Hardware: return hardwareProperty(current->path, key);
    }
    return std::nullopt;
}

std::optional<PlatformValue> LinuxDeviceRegistry::mediaProperty(const std::string& folder, const std::string& key) {
    auto device = blockDevice(folder);
    if (!device) {
        return std::nullopt;
    }
    if (key == "IOClass") {
        return PlatformValue("IOMedia");
    }
    if (key == "BSD Name") {
        return PlatformValue(device->name);
    }
    if (key == "Size") {
        return PlatformValue(std::int64_t{device->sizeBytes});
    }
    if (key == "Whole") {
        return PlatformValue(!device->isPartition);
    }
    if (key == "Removable") {
        return PlatformValue(device->removable);
    }
    if (key == "Partition ID") {
        return device->partitionNumber ? std::optional<PlatformValue>(*device->partitionNumber) : std::nullopt;
    }
    if (key == "Base") {
        return device->startSector ? std::optional<PlatformValue>(std::int64_t{*device->startSector * 512})
                                   : std::nullopt;
    }
    if (key == "UUID" || key == "Content") {
        VolumeFacts facts = prober_ ? prober_(*device) : VolumeFacts{};
        if (key == "Content") {
            auto content = LinuxDiskDescriber::mediaContentOf(*device, facts);
            return content ? std::optional<PlatformValue>(*content) : std::nullopt;
        }
        if (device->isPartition && facts.entryUuid) {
            return PlatformValue(upper(*facts.entryUuid));
        }
        if (!device->isPartition && facts.tableUuid && LinuxDiskDescriber::mediaContentOf(*device, facts)) {
            return PlatformValue(upper(*facts.tableUuid));
        }
        if (device->mapperUuid && !device->mapperUuid->empty()) {
            return PlatformValue(*device->mapperUuid);
        }
        return std::nullopt;
    }
    return std::nullopt;
}

std::optional<PlatformValue> LinuxDeviceRegistry::driverProperty(const std::string& folder, const std::string& key) {
    auto device = blockDevice(folder);
    if (!device) {
        return std::nullopt;
    }
    if (key == "IOClass") {
        return PlatformValue("IOBlockStorageDriver");
    }
    if (key == "Serial Number") {
        return device->serial.empty() ? std::nullopt : std::optional<PlatformValue>(device->serial);
    }
    if (key == "Device Characteristics") {
        // A disk image (loop) has no medium of its own to characterise.
        if (device->isLoop() || !device->rotational) {
            return std::nullopt;
        }
        PlatformValue::Dictionary characteristics;
        characteristics["Medium Type"] = *device->rotational ? "Rotational" : "Solid State";
        if (!device->vendor.empty()) {
            characteristics["Vendor Name"] = device->vendor;
        }
        if (!device->model.empty()) {
            characteristics["Product Name"] = device->model;
        }
        if (!device->serial.empty()) {
            characteristics["Serial Number"] = device->serial;
        }
        return PlatformValue(std::move(characteristics));
    }
    return std::nullopt;
}

std::optional<PlatformValue> LinuxDeviceRegistry::hardwareProperty(const std::string& folder,
                                                                   const std::string& key) {
    fs::path path(folder);
    std::error_code error;
    const bool usbDevice = fs::exists(path / "idVendor", error);
    if (key == "IOClass") {
        auto subsystem = fs::read_symlink(path / "subsystem", error);
        if (error) {
            return std::nullopt;
        }
        return PlatformValue(subsystem.filename().string());
    }
    if (key == "USB Serial Number" && usbDevice) {
        auto serial = readAttribute(path / "serial");
        return serial ? std::optional<PlatformValue>(*serial) : std::nullopt;
    }
    if (key == "USB Vendor Name" && usbDevice) {
        auto vendor = readAttribute(path / "manufacturer");
        return vendor ? std::optional<PlatformValue>(*vendor) : std::nullopt;
    }
    if (key == "USB Product Name" && usbDevice) {
        auto product = readAttribute(path / "product");
        return product ? std::optional<PlatformValue>(*product) : std::nullopt;
    }
    if (key == "Serial Number" && !usbDevice) {
        auto serial = readAttribute(path / "serial");
        return serial ? std::optional<PlatformValue>(*serial) : std::nullopt;
    }
    return std::nullopt;
}

}  // namespace harbormind
