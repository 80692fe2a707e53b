#pragma once

#include "xpc/XPCInterface.h"
#include "xpc/XPCReply.h"

namespace harbormind {

// The daemon's USB blocker service: installs and removes the blocker agent's launch file.
class DMUSBBlockerServerProtocol : public virtual XPCInterface {
public:
    virtual void addPlistFileWithReply(XPCBoolReply reply) = 0;
    virtual void removePlistFileWithReply(XPCBoolReply reply) = 0;
};

}  // namespace harbormind
