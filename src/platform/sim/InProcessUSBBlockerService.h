#pragma once

#include <cstdint>
#include <string>

#include "platform/sim/InProcessService.h"
#include "xpc/DMUSBBlockerServerProtocol.h"

namespace harbormind {

// "USB Warden" as the simulated daemon keeps it (InProcessUSBWarden). A scenario's answer
// for addPlistFileWithReply, when it has one, decides that request instead.
class InProcessUSBBlockerService final : public InProcessService, public DMUSBBlockerServerProtocol {
public:
    using InProcessService::InProcessService;

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

private:
    InProcessUSBWarden& warden();
};

}  // namespace harbormind
