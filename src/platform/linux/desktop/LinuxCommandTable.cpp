#include "platform/linux/desktop/LinuxCommandTable.h"

#include "platform/linux/desktop/LinuxUSBAgentUnit.h"
#include "support/ShellQuote.h"

namespace harbormind {

std::string LinuxCommandTable::ejectDisk(const std::string&) {
    // The session's eject runs the helper and reports its result; a second eject in the
    // background would race it.
    return {};
}

std::string LinuxCommandTable::lockVolume(const std::string&) {
    return {};
}

std::string LinuxCommandTable::unlockVolume(const std::string&, const std::string&) {
    return {};
}

std::optional<ProgramCall> LinuxCommandTable::unlockLUKSVolume(const std::string& bsdName) {
    return ProgramCall{helper_, {"unlock", bsdName}};
}

std::optional<ProgramCall> LinuxCommandTable::lockLUKSVolume(const std::string& bsdName) {
    return ProgramCall{helper_, {"lock", bsdName}};
}

std::string LinuxCommandTable::listCoreStorage() {
    // Linux has no CoreStorage volumes: an empty line runs nothing and lists no group.
    return {};
}

}  // namespace harbormind

namespace harbormind {

std::string LinuxCommandTable::loadUSBBlockerAgent() {
    // The unit file is new to the user's manager until it reloads.
    std::string unit = ShellQuote::quote(LinuxUSBAgentUnit::unitName);
    return "systemctl --user daemon-reload && systemctl --user enable --now " + unit;
}

std::string LinuxCommandTable::unloadUSBBlockerAgent() {
    return "systemctl --user disable --now " + ShellQuote::quote(LinuxUSBAgentUnit::unitName);
}

}  // namespace harbormind
