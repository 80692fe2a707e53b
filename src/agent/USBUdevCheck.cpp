#include "agent/USBUdevCheck.h"

#include "usbblocker/USBListsFormat.h"

namespace harbormind {
namespace {

std::string valueOf(const USBUdevCheck::Environment& environment, const std::string& name) {
    auto found = environment.find(name);
    return found == environment.end() ? std::string() : found->second;
}

std::string trimmed(std::string text) {
    const char* blanks = " \t\r\n";
    auto first = text.find_first_not_of(blanks);
    if (first == std::string::npos) {
        return {};
    }
    auto last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

// The sysfs folder of the whole disk: a partition's parent folder.
std::string wholeDiskFolder(const USBUdevCheck::Inputs& inputs) {
    std::string devpath = valueOf(inputs.environment, "DEVPATH");
    if (valueOf(inputs.environment, "DEVTYPE") == "partition") {
        auto slash = devpath.rfind('/');
        devpath = slash == std::string::npos ? std::string() : devpath.substr(0, slash);
    }
    return inputs.sysRoot + devpath;
}

}  // namespace

std::string USBUdevCheck::mediaName(const Inputs& inputs) {
    std::string folder = wholeDiskFolder(inputs);
    std::string vendor = trimmed(inputs.readFile(folder + "/device/vendor").value_or(""));
    std::string model = trimmed(inputs.readFile(folder + "/device/model").value_or(""));
    if (vendor.rfind("0x", 0) == 0) {
        vendor.clear();
    }
    if (vendor.empty() || model.empty()) {
        return vendor + model;
    }
    return vendor + " " + model;
}

bool USBUdevCheck::wouldRefuse(const Inputs& inputs) {
    if (!inputs.blockerOn || valueOf(inputs.environment, "SUBSYSTEM") != "block") {
        return false;
    }
    std::string type = valueOf(inputs.environment, "DEVTYPE");
    if ((type != "disk" && type != "partition") || valueOf(inputs.environment, "ID_BUS") != "usb") {
        return false;
    }
    if (!inputs.lists) {
        return true;
    }
    std::string name = mediaName(inputs);
    for (const Drive& entry : USBListsFormat::parse(*inputs.lists).whiteList) {
        if (entry.name == name) {
            return false;
        }
    }
    return true;
}

std::string USBUdevCheck::answer(bool refused) {
    return refused ? "UDISKS_IGNORE=1\nUDISKS_AUTO=0\n" : std::string();
}

}  // namespace harbormind
