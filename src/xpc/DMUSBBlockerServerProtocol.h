#pragma once

#include <cstdint>
#include <string>

#include "xpc/XPCCodeAnswer.h"
#include "xpc/XPCInterface.h"
#include "xpc/XPCReply.h"

namespace harbormind {

// The daemon's USB blocker service. "USB Warden" is kept by the daemon for the whole machine:
// whether it is on, its mode, its password (checked here, never by a client) and the lists.
// Code answers: 0 done; `wrongPassword` (the message says how long until the next try),
// `notPermitted`, `failed`; the message says what happened or why not.
class DMUSBBlockerServerProtocol : public virtual XPCInterface {
public:
    static constexpr std::int64_t done = 0;
    static constexpr std::int64_t failed = 1;
    static constexpr std::int64_t wrongPassword = 2;
    static constexpr std::int64_t noPassword = 3;
    static constexpr std::int64_t notPermitted = 13;

    // Turns the Warden on (it needs a password first) and installs the agent's start-up file;
    // true when both are done.
    virtual void addPlistFileWithReply(XPCBoolReply reply) = 0;
    // Removes the agent's start-up file, only while the Warden is off.
    virtual void removePlistFileWithReply(XPCBoolReply reply) = 0;

    // Whether the Warden is on, its mode and whether a password is set, as the lines
    // "on = true|false", "mode = 1|2", "password = true|false".
    virtual void usbWardenStateWithReply(XPCStringReply reply) = 0;
    virtual void checkUSBWardenPasswordWithPassword(const std::string& password, XPCCodeReply reply) = 0;
    // `oldPassword` is ignored while no password is set.
    virtual void setUSBWardenPasswordWithOldPassword(const std::string& oldPassword, const std::string& newPassword,
                                                     XPCCodeReply reply) = 0;
    // Turns the Warden off and removes the agent's start-up file.
    virtual void disableUSBWardenWithPassword(const std::string& password, XPCCodeReply reply) = 0;
    // 1 ask every time, 2 white list only.
    virtual void setUSBWardenModeWithMode(std::int64_t mode, const std::string& password, XPCCodeReply reply) = 0;
    virtual void addUSBListEntryWithName(const std::string& name, std::int64_t size, bool white,
                                         XPCCodeReply reply) = 0;
    virtual void removeUSBListEntryWithName(const std::string& name, bool white, XPCCodeReply reply) = 0;
    // The asking mode's "Allow": the disk of `bsdname` may mount until it is unplugged.
    virtual void allowUSBDiskOnceWithBsdname(const std::string& bsdname, XPCCodeReply reply) = 0;
};

}  // namespace harbormind
