#pragma once

#include <string>

namespace harbormind {

// The USB blocker agent's start-up file: a systemd user unit for every user, installed by
// the daemon when "USB Warden" is turned on and started per user with systemctl --user.
class LinuxUSBAgentUnit {
public:
    static constexpr const char* unitName = "harbormind-usbagent.service";
    static constexpr const char* unitFolder = "/etc/systemd/user";

    static std::string unitPath() { return std::string(unitFolder) + "/" + unitName; }
    // The unit's text for the agent program at `agentProgram`.
    static std::string contents(const std::string& agentProgram);
};

}  // namespace harbormind
