#pragma once

#include "xpc/DMUSBBlockerServerProtocol.h"

namespace harbormind {

// A USB blocker service that changes nothing.
class RefusingUSBBlockerService : public DMUSBBlockerServerProtocol {
public:
    void addPlistFileWithReply(XPCBoolReply reply) override { reply(false); }
    void removePlistFileWithReply(XPCBoolReply reply) override { reply(false); }
    void usbWardenStateWithReply(XPCStringReply reply) override { reply(std::string()); }
    void checkUSBWardenPasswordWithPassword(const std::string&, XPCCodeReply reply) override { refuse(reply); }
    void setUSBWardenPasswordWithOldPassword(const std::string&, const std::string&, XPCCodeReply reply) override {
        refuse(reply);
    }
    void disableUSBWardenWithPassword(const std::string&, XPCCodeReply reply) override { refuse(reply); }
    void setUSBWardenModeWithMode(std::int64_t, const std::string&, XPCCodeReply reply) override { refuse(reply); }
    void addUSBListEntryWithName(const std::string&, std::int64_t, bool, XPCCodeReply reply) override {
        refuse(reply);
    }
    void removeUSBListEntryWithName(const std::string&, bool, XPCCodeReply reply) override { refuse(reply); }
    void allowUSBDiskOnceWithBsdname(const std::string&, XPCCodeReply reply) override { refuse(reply); }

private:
    static void refuse(const XPCCodeReply& reply) { reply({failed, "USB Warden is not available here"}); }
};

}  // namespace harbormind
