#pragma once

#include "xpc/DMUSBBlockerServerProtocol.h"

namespace harbormind {

// A USB blocker service that installs and removes nothing.
class RefusingUSBBlockerService : public DMUSBBlockerServerProtocol {
public:
    void addPlistFileWithReply(XPCBoolReply reply) override { reply(false); }
    void removePlistFileWithReply(XPCBoolReply reply) override { reply(false); }
};

}  // namespace harbormind
