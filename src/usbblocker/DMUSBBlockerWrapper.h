#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "usbblocker/USBWardenState.h"
#include "xpc/XPCCodeAnswer.h"
#include "xpc/XPCRemoteObject.h"

namespace harbormind {

// The client of the daemon's USB blocker service, which keeps "USB Warden" for the machine:
// its state, its password and the lists. Every call blocks the caller until the daemon
// answers; one that may wait for an administrator waits as long as the daemon does.
class DMUSBBlockerWrapper {
public:
    XPCRemoteObject& usbBlockerXpcObj();

    // True when the Warden is on and the agent's start-up file is in place.
    bool addPlistFile();
    // True when the start-up file is gone (only ever while the Warden is off).
    bool removePlistFile();

    // None when the daemon did not answer.
    std::optional<USBWardenState> state();
    XPCCodeAnswer checkPassword(const std::string& password);
    XPCCodeAnswer setPassword(const std::string& oldPassword, const std::string& newPassword);
    XPCCodeAnswer disable(const std::string& password);
    XPCCodeAnswer setMode(int mode, const std::string& password);
    XPCCodeAnswer addListEntry(const std::string& name, std::int64_t size, bool white);
    XPCCodeAnswer removeListEntry(const std::string& name, bool white);
    XPCCodeAnswer allowOnce(const std::string& bsdName);

    // What a person reads for an answer that is not done: the daemon's words, or, for a
    // refusal, what to do about it.
    static std::string reason(const XPCCodeAnswer& answer);

private:
    template <typename Call>
    XPCCodeAnswer codeCall(const char* what, Call&& call);

    std::mutex mutex_;
    std::unique_ptr<XPCRemoteObject> usbBlockerXpcObj_;
};

}  // namespace harbormind
