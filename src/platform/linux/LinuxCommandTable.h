#pragma once

#include <string>

#include "platform/CommandTable.h"

namespace harbormind {

// The volume-tool lines on Linux: the mount helper's verbs. It prints the mounted volume on
// standard output when it succeeds and its errors on standard error, which is all the drive
// operations judge. There are no logical volume groups of the other platform's kind here.
class LinuxCommandTable final : public CommandTable {
public:
    explicit LinuxCommandTable(std::string mountHelper) : helper_(std::move(mountHelper)) {}

    std::string mountVolume(const std::string& bsdName) override;
    std::string ejectDisk(const std::string& bsdName) override;
    std::string lockVolume(const std::string& bsdName) override;
    // The passphrase reaches the helper on its standard input through the shell's own
    // printf, so it never appears in a process's arguments.
    std::string unlockVolume(const std::string& bsdName, const std::string& passphrase) override;
    std::string listCoreStorage() override;
    // systemctl --user on the agent's unit (LinuxUSBAgentUnit).
    std::string loadUSBBlockerAgent() override;
    std::string unloadUSBBlockerAgent() override;

private:
    std::string line(const std::string& verb, const std::string& bsdName) const;
    std::string helper_;
};

}  // namespace harbormind
