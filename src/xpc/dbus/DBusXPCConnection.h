#pragma once

#include <functional>
#include <memory>
#include <string>

#include "xpc/XPCConnection.h"
#include "xpc/dbus/DBusLink.h"

namespace harbormind {

// One connection to one daemon service over the system bus: its own bus connection, on
// which the calling wrapper is exported for the service's callbacks. A bus that cannot be
// reached invalidates the connection on resume.
class DBusXPCConnection final : public XPCConnection {
public:
    explicit DBusXPCConnection(std::string serviceName);

    bool setExportedObject(std::weak_ptr<XPCInterface> object) override;
    void setInterruptionHandler(std::function<void()> handler) override { interruption_ = std::move(handler); }
    void setInvalidationHandler(std::function<void()> handler) override { invalidation_ = std::move(handler); }
    void resume() override;
    void invalidate() override { link_.reset(); }
    std::shared_ptr<XPCInterface> remoteObjectProxyWithErrorHandler(ErrorHandler errorHandler) override;

private:
    std::string serviceName_;
    std::weak_ptr<XPCInterface> exported_;
    bool exports_ = false;
    std::function<void()> interruption_;
    std::function<void()> invalidation_;
    std::shared_ptr<DBusLink> link_;
};

}  // namespace harbormind
