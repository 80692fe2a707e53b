#pragma once

#include <string>

#include "xpc/DMUSBBlockerServerProtocol.h"

namespace harbormind {

// The USB blocker service on Linux: installs and removes the blocker agent's systemd user
// unit for every user (LinuxUSBAgentUnit). The file is written whole and world-readable;
// it belongs to the daemon (root), so no user can change what it starts.
class LinuxUSBBlockerService final : public DMUSBBlockerServerProtocol {
public:
    // The installed agent program; tests and scripts/run name others.
    static std::string installedAgentProgram();

    // `unitPath` and `agentProgram` differ from the installed ones only in tests.
    explicit LinuxUSBBlockerService(std::string unitPath = {}, std::string agentProgram = {});

    void addPlistFileWithReply(XPCBoolReply reply) override;
    void removePlistFileWithReply(XPCBoolReply reply) override;

    bool addPlistFile();
    bool removePlistFile();

private:
    std::string unitPath_;
    std::string agentProgram_;
};

}  // namespace harbormind
