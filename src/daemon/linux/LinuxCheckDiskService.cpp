#include "daemon/linux/LinuxCheckDiskService.h"

#include <cstdint>

#include "engines/checkdisk/CheckDiskEngine.h"

namespace harbormind {

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
