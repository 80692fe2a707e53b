#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/sim/InProcessDaemon.h"
#include "xpc/DMDeviceCloneAppProtocol.h"
#include "xpc/XPCConnection.h"

namespace harbormind {

// A connection to one service of the daemon that lives in the same process. A service the
// scenario makes refuse connections invalidates it on resume and gives no proxy.
class InProcessConnection final : public XPCConnection {
public:
    InProcessConnection(std::shared_ptr<InProcessDaemon> daemon, std::string key);

    bool setExportedObject(std::weak_ptr<XPCInterface> object) override;
    void setInterruptionHandler(std::function<void()>) override {}
    void setInvalidationHandler(std::function<void()> handler) override;
    void resume() override;
    void invalidate() override {}
    std::shared_ptr<XPCInterface> remoteObjectProxyWithErrorHandler(ErrorHandler errorHandler) override;

private:
    bool refused() const;
    std::shared_ptr<XPCInterface> service() const;

    std::shared_ptr<InProcessDaemon> daemon_;
    std::string key_;
    std::function<void()> invalidation_;
    std::weak_ptr<DMDeviceCloneAppProtocol> cloneApp_;
    std::weak_ptr<XPCInterface> exported_;
};

}  // namespace harbormind
