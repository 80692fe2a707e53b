#include "platform/linux/mounting/BlockDeviceTree.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <set>

namespace harbormind {
namespace fs = std::filesystem;

std::string BlockDeviceTree::folderOf(const std::string& name) {
    return "/sys/class/block/" + name;
}

std::optional<std::string> BlockDeviceTree::attribute(const std::string& name, const std::string& file) {
    std::ifstream in(folderOf(name) + "/" + file);
    std::string line;
    if (!in || !std::getline(in, line)) {
        return std::nullopt;
    }
    return line;
}

std::string BlockDeviceTree::devNumberOf(const std::string& name) {
    return attribute(name, "dev").value_or("");
}

bool BlockDeviceTree::isPartition(const std::string& name) {
    return fs::exists(folderOf(name) + "/partition");
}

std::vector<std::string> BlockDeviceTree::devicesOf(const std::string& name, bool wholeDisk) {
    std::vector<std::string> names;
    std::string disk = name;
    if (wholeDisk && isPartition(name)) {
        std::error_code error;
        disk = fs::canonical(folderOf(name), error).parent_path().filename().string();
    }
    names.push_back(disk);
    if (wholeDisk) {
        std::error_code error;
        fs::path folder = fs::canonical(folderOf(disk), error);
        for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
            if (fs::exists(it->path() / "partition")) {
                names.push_back(it->path().filename().string());
            }
        }
    }
    std::vector<std::string> all;
    std::set<std::string> seen;
    std::function<void(const std::string&)> add = [&](const std::string& device) {
        if (!seen.insert(device).second) {
            return;
        }
        std::error_code error;
        for (fs::directory_iterator it(folderOf(device) + "/holders", error), end; !error && it != end;
             it.increment(error)) {
            add(it->path().filename().string());
        }
        all.push_back(device);
    };
    for (const auto& device : names) {
        add(device);
    }
    return all;
}

std::string BlockDeviceTree::diskOf(const std::string& name) {
    std::error_code error;
    fs::path device = fs::canonical(folderOf(name), error);
    if (error) {
        return name;
    }
    return fs::exists(device / "partition") ? device.parent_path().filename().string()
                                            : device.filename().string();
}

bool BlockDeviceTree::isRemovable(const std::string& name) {
    return attribute(diskOf(name), "removable").value_or("0") == "1";
}

bool BlockDeviceTree::isInternal(const std::string& name) {
    // As the disk descriptions say: USB, FireWire, card readers and loop images are external,
    // and so is removable media; anything else (a mapping included) is part of the computer.
    const std::string disk = diskOf(name);
    if (disk.rfind("loop", 0) == 0 || isRemovable(disk)) {
        return false;
    }
    std::error_code error;
    const std::string hardware = fs::canonical(folderOf(disk) + "/device", error).string();
    if (error) {
        return true;
    }
    for (const char* bus : {"/usb", "/firewire", "/fw", "/mmc"}) {
        if (hardware.find(bus) != std::string::npos) {
            return false;
        }
    }
    return true;
}

std::string BlockDeviceTree::mediaSequenceOf(const std::string& name) {
    const std::string disk = diskOf(name);
    return disk + "#" + attribute(disk, "diskseq").value_or("");
}

}  // namespace harbormind
