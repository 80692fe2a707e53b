// harbormind-usbcheck: run by udev (IMPORT{program}) for each new USB block device. Prints
// UDISKS_IGNORE=1 and UDISKS_AUTO=0 when "USB Warden" would refuse the disk, nothing otherwise.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "agent/USBUdevCheck.h"
#include "platform/linux/desktop/LinuxUSBAgentUnit.h"
#include "platform/linux/desktop/LinuxUSBBlockerPaths.h"

namespace {

// Lists files are a few dozen bytes per disk; anything larger is not read.
constexpr std::uintmax_t largestFile = 8u << 20;

std::optional<std::string> readWhole(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error) || std::filesystem::file_size(path, error) > largestFile ||
        error) {
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        return std::nullopt;
    }
    return bytes;
}

}  // namespace

int main(int, char**, char** envp) {
    harbormind::USBUdevCheck::Inputs inputs;
    for (char** entry = envp; entry != nullptr && *entry != nullptr; ++entry) {
        std::string pair = *entry;
        auto equals = pair.find('=');
        if (equals != std::string::npos) {
            inputs.environment[pair.substr(0, equals)] = pair.substr(equals + 1);
        }
    }
    std::error_code error;
    inputs.blockerOn = std::filesystem::exists(harbormind::LinuxUSBAgentUnit::unitPath(), error);
    inputs.lists = readWhole(harbormind::LinuxUSBBlockerPaths().listsFilePath());
    inputs.readFile = readWhole;
    std::fputs(harbormind::USBUdevCheck::answer(harbormind::USBUdevCheck::wouldRefuse(inputs)).c_str(), stdout);
    return 0;
}
