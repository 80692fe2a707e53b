#include "daemon/linux/DeviceMapperPresence.h"

#include <fstream>
#include <sstream>

namespace harbormind {
namespace {

bool listsDeviceMapper(const std::string& path) {
    std::ifstream file(path);
    std::string line;
    while (std::getline(file, line)) {
        std::istringstream words(line);
        std::string number, name;
        if (words >> number >> name && name == "device-mapper") {
            return true;
        }
    }
    return false;
}

}  // namespace

bool DeviceMapperPresence::present(const std::string& procRoot) {
    return listsDeviceMapper(procRoot + "/misc") || listsDeviceMapper(procRoot + "/devices");
}

std::string DeviceMapperPresence::missingReason(const std::string& what) {
    return what + " needs the kernel's device-mapper, which this system does not have "
                  "(no device-mapper in /proc/misc or /proc/devices)";
}

}  // namespace harbormind
