#include "platform/linux/diskevents/LinuxDeviceLocks.h"

#include <map>

namespace harbormind {

std::unique_lock<std::mutex> LinuxDeviceLocks::hold(const std::string& name) {
    // Never freed: helper calls may still be finishing while the process exits.
    static auto* guard = new std::mutex;
    static auto* locks = new std::map<std::string, std::shared_ptr<std::mutex>>;
    std::shared_ptr<std::mutex> lock;
    {
        std::lock_guard held(*guard);
        auto& slot = (*locks)[name];
        if (!slot) {
            slot = std::make_shared<std::mutex>();
        }
        lock = slot;
    }
    return std::unique_lock<std::mutex>(*lock);
}

}  // namespace harbormind
