// harbormind-usbcheck: run by udev (IMPORT{program}) for each new USB block device. Prints
// UDISKS_IGNORE=1 and UDISKS_AUTO=0 when "USB Warden" would refuse the disk, nothing otherwise.
#include <cstdio>
#include <string>

#include "agent/USBUdevCheck.h"
#include "platform/linux/desktop/LinuxUSBBlockerPaths.h"
#include "platform/linux/disks/LinuxBlockerDisk.h"
#include "platform/linux/files/LinuxFileContents.h"
#include "usbblocker/USBDiskList.h"
#include "usbblocker/USBWardenState.h"

namespace {

using namespace harbormind;

std::string kernelName(const USBUdevCheck::Environment& environment) {
    auto found = environment.find("DEVNAME");
    std::string name = found == environment.end() ? std::string() : found->second;
    auto slash = name.rfind('/');
    return slash == std::string::npos ? name : name.substr(slash + 1);
}

}  // namespace

int main(int, char**, char** envp) {
    USBUdevCheck::Inputs inputs;
    for (char** entry = envp; entry != nullptr && *entry != nullptr; ++entry) {
        std::string pair = *entry;
        auto equals = pair.find('=');
        if (equals != std::string::npos) {
            inputs.environment[pair.substr(0, equals)] = pair.substr(equals + 1);
        }
    }
    LinuxUSBBlockerPaths paths;
    LinuxFileContents files;
    FileReadResult state = files.read(paths.wardenStatePath(), 4096);
    inputs.blockerOn = state.status == FileReadStatus::Read && USBWardenState::parse(state.bytes).on;

    USBDiskListServices services;
    services.files = &files;
    services.savePath = paths.listsFilePath();
    services.dropInFiles = [&paths] { return paths.dropInFiles(); };
    USBDiskList lists(services);
    lists.load();
    if (lists.isReadWhole()) {
        inputs.lists = USBLists{lists.whiteList(), lists.blackList()};
    }
    if (auto disk = LinuxBlockerDisk::read(LinuxPaths{}, kernelName(inputs.environment))) {
        inputs.mediaName = disk->mediaName;
    }
    std::fputs(USBUdevCheck::answer(USBUdevCheck::wouldRefuse(inputs)).c_str(), stdout);
    return 0;
}
