#pragma once

#include <memory>
#include <string>

#include "platform/sim/InProcessDaemon.h"
#include "xpc/XPCTransport.h"

namespace harbormind {

// Reaches a daemon that lives in the same process (the simulated platform's). Requests are
// answered on the calling thread, as the daemon's scenario says.
class InProcessXPCTransport final : public XPCTransport {
public:
    explicit InProcessXPCTransport(std::shared_ptr<InProcessDaemon> daemon);

    std::shared_ptr<XPCConnection> newConnection(const std::string& serviceName) override;
    const std::shared_ptr<InProcessDaemon>& daemon() const { return daemon_; }

    // The daemon's key for a service name ("bitlocker", ...), empty for an unknown name.
    static std::string serviceKey(const std::string& serviceName);

private:
    std::shared_ptr<InProcessDaemon> daemon_;
};

}  // namespace harbormind
