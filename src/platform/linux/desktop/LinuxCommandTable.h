#pragma once

#include <string>

#include "platform/CommandTable.h"

namespace harbormind {

// The volume-tool lines on Linux: the mount helper's unlock and lock verbs, whose errors on
// standard error are all the drive operations judge. There are no logical volume groups of
// the other platform's kind here.
class LinuxCommandTable final : public CommandTable {
public:
    explicit LinuxCommandTable(std::string mountHelper) : helper_(std::move(mountHelper)) {}

    std::string ejectDisk(const std::string& bsdName) override;
    // There are no APFS volumes to lock or unlock here: both lines are empty. LUKS volumes
    // go through the helper's lock and unlock verbs, run directly with the passphrase on
    // the helper's standard input (a shell line would show it in the process list).
    std::string lockVolume(const std::string& bsdName) override;
    std::string unlockVolume(const std::string& bsdName, const std::string& passphrase) override;
    std::optional<ProgramCall> unlockLUKSVolume(const std::string& bsdName) override;
    std::optional<ProgramCall> lockLUKSVolume(const std::string& bsdName) override;
    std::string listCoreStorage() override;
    // systemctl --user on the agent's unit (LinuxUSBAgentUnit).
    std::string loadUSBBlockerAgent() override;
    std::string unloadUSBBlockerAgent() override;

private:
    std::string helper_;
};

}  // namespace harbormind
