#include "agent/USBUdevCheck.h"

namespace harbormind {
namespace {

std::string valueOf(const USBUdevCheck::Environment& environment, const std::string& name) {
    auto found = environment.find(name);
    return found == environment.end() ? std::string() : found->second;
}

}  // namespace

bool USBUdevCheck::wouldRefuse(const Inputs& inputs) {
    if (!inputs.blockerOn || valueOf(inputs.environment, "SUBSYSTEM") != "block") {
        return false;
    }
    std::string type = valueOf(inputs.environment, "DEVTYPE");
    if ((type != "disk" && type != "partition") || valueOf(inputs.environment, "ID_BUS") != "usb") {
        return false;
    }
    if (!inputs.lists || !inputs.mediaName) {
        return true;
    }
    for (const Drive& entry : inputs.lists->whiteList) {
        if (entry.name == *inputs.mediaName) {
            return false;
        }
    }
    return true;
}

std::string USBUdevCheck::answer(bool refused) {
    return refused ? "UDISKS_IGNORE=1\nUDISKS_AUTO=0\n" : std::string();
}

}  // namespace harbormind
