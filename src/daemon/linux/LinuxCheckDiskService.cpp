#include "daemon/linux/LinuxCheckDiskService.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "engines/checkdisk/CheckDiskEngine.h"

namespace harbormind {
namespace {

namespace fs = std::filesystem;

// What holds the device that no unmount releases: another device made of it (an unlocked
// encrypted volume, RAID, LVM), or swap. Empty when nothing does.
std::string heldBy(const std::string& device) {
    std::error_code error;
    for (const auto& holder : fs::directory_iterator("/sys/class/block/" + device + "/holders", error)) {
        return device + " is held by " + holder.path().filename().string() +
               " (an unlocked encrypted volume, RAID or LVM): close that first";
    }
    std::ifstream swaps("/proc/swaps");
    std::string line;
    while (std::getline(swaps, line)) {
        std::string name;
        std::istringstream(line) >> name;
        if (name == "/dev/" + device) {
            return device + " is in use as swap";
        }
    }
    return {};
}

}  // namespace

XPCCodeAnswer LinuxCheckDiskService::canRun(const FirstAidCommand& command) {
    if (std::string why = heldBy(command.device); !why.empty()) {
        return {16, why};
    }
    return {0, {}};
}

void LinuxCheckDiskService::firstAid(const FirstAidCommand& command, std::shared_ptr<DMCheckDiskAppProtocol> callbacks,
                                     XPCBoolReply reply) {
    CheckDiskRequest request;
    request.devicePath = "/dev/" + command.device;
    request.mode = command.repair ? CheckDiskMode::repair : CheckDiskMode::check;
    CheckDiskEngine engine;
    engine.run(request, [&callbacks](DMCheckStatus status, const std::string& line) {
        if (callbacks) {
            callbacks->updateUIWithChekcInfo(line, static_cast<std::int64_t>(status));
        }
    });
    reply(true);
}

}  // namespace harbormind
