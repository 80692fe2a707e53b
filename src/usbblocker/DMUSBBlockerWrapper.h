#pragma once

#include <memory>
#include <mutex>

#include "xpc/XPCRemoteObject.h"

namespace harbormind {

// The client of the daemon's USB blocker service, which installs and removes the blocker
// agent's start-up file. Both calls block the caller until the daemon answers.
class DMUSBBlockerWrapper {
public:
    XPCRemoteObject& usbBlockerXpcObj();

    // True when the agent's start-up file is in place.
    bool addPlistFile();
    // True when it is gone.
    bool removePlistFile();

private:
    std::mutex mutex_;
    std::unique_ptr<XPCRemoteObject> usbBlockerXpcObj_;
};

}  // namespace harbormind
