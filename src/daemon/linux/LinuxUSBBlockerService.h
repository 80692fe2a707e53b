#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "daemon/linux/LinuxUSBWarden.h"
#include "xpc/DMUSBBlockerServerProtocol.h"

namespace harbormind {

// The USB blocker service on Linux, for one call. "USB Warden" is the daemon's (LinuxUSBWarden):
// its state, its password and the lists, all root's. Turning it on installs the blocker
// agent's systemd user unit for every user (LinuxUSBAgentUnit), written whole and
// world-readable; it belongs to the daemon (root), so no user can change what it starts.
// Turning it off needs the password, checked here; the caller's wrong passwords slow down
// the caller's own next tries (USBWardenStore).
class LinuxUSBBlockerService final : public DMUSBBlockerServerProtocol {
public:
    // The installed agent program; tests and scripts/run name others.
    static std::string installedAgentProgram();

    // `caller` is the calling uid as the bus reports it. `unitPath` and `agentProgram` differ
    // from the installed ones only in tests.
    LinuxUSBBlockerService(std::shared_ptr<LinuxUSBWarden> warden, std::uint32_t caller, std::string unitPath = {},
                           std::string agentProgram = {});

    void addPlistFileWithReply(XPCBoolReply reply) override;
    void removePlistFileWithReply(XPCBoolReply reply) override;
    void usbWardenStateWithReply(XPCStringReply reply) override;
    void checkUSBWardenPasswordWithPassword(const std::string& password, XPCCodeReply reply) override;
    void setUSBWardenPasswordWithOldPassword(const std::string& oldPassword, const std::string& newPassword,
                                             XPCCodeReply reply) override;
    void disableUSBWardenWithPassword(const std::string& password, XPCCodeReply reply) override;
    void setUSBWardenModeWithMode(std::int64_t mode, const std::string& password, XPCCodeReply reply) override;
    void addUSBListEntryWithName(const std::string& name, std::int64_t size, bool white,
                                 XPCCodeReply reply) override;
    void removeUSBListEntryWithName(const std::string& name, bool white, XPCCodeReply reply) override;
    void allowUSBDiskOnceWithBsdname(const std::string& bsdname, XPCCodeReply reply) override;

    bool addPlistFile();
    bool removePlistFile();

private:
    bool writeUnit();
    bool removeUnit();
    // None when `password` is the Warden's; else the answer that refuses.
    std::optional<XPCCodeAnswer> refusePassword(const std::string& password);

    std::shared_ptr<LinuxUSBWarden> warden_;
    std::uint32_t caller_;
    std::string unitPath_;
    std::string agentProgram_;
};

}  // namespace harbormind
