#include "platform/linux/LinuxCommandTable.h"

#include "platform/linux/LinuxUSBAgentUnit.h"
#include "support/ShellQuote.h"

namespace harbormind {

std::string LinuxCommandTable::line(const std::string& verb, const std::string& bsdName) const {
    return ShellQuote::quote(helper_) + " " + verb + " " + ShellQuote::quote(bsdName);
}

std::string LinuxCommandTable::mountVolume(const std::string& bsdName) {
    return line("mount", bsdName);
}

std::string LinuxCommandTable::ejectDisk(const std::string& bsdName) {
    // The background job must not hold the runner's pipes open.
    return line("eject", bsdName) + " >/dev/null 2>&1 &";
}

std::string LinuxCommandTable::lockVolume(const std::string& bsdName) {
    return line("lock", bsdName);
}

std::string LinuxCommandTable::unlockVolume(const std::string& bsdName, const std::string& passphrase) {
    return "printf '%s' " + ShellQuote::quote(passphrase) + " | " + line("unlock", bsdName);
}

std::string LinuxCommandTable::listCoreStorage() {
    return "true";
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
