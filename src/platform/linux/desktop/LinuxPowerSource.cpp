#include "platform/linux/desktop/LinuxPowerSource.h"

#include <filesystem>
#include <fstream>

namespace harbormind {
namespace {

std::string firstLine(const std::filesystem::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

}  // namespace

bool LinuxPowerSource::hasExternalAdapter() {
    std::error_code error;
    bool sawBattery = false;
    for (const auto& supply : std::filesystem::directory_iterator(supplyFolder_, error)) {
        std::string type = firstLine(supply.path() / "type");
        if (type == "Battery") {
            sawBattery = true;
        } else if ((type == "Mains" || type.rfind("USB", 0) == 0) && firstLine(supply.path() / "online") == "1") {
            return true;
        }
    }
    return !sawBattery;
}

}  // namespace harbormind
