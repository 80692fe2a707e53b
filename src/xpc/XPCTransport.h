#pragma once

#include <memory>
#include <string>

#include "xpc/XPCConnection.h"

namespace harbormind {

// How the application reaches the daemon: in process for the simulated platform, over the
// system bus for the real one.
class XPCTransport {
public:
    virtual ~XPCTransport() = default;
    virtual std::shared_ptr<XPCConnection> newConnection(const std::string& serviceName) = 0;

    // The transport of the process. Without one, every connection fails at once, so callers
    // take their default answers without waiting.
    static std::shared_ptr<XPCTransport> current();
    static void setCurrent(std::shared_ptr<XPCTransport> transport);
};

}  // namespace harbormind
