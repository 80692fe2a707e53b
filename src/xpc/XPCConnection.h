#pragma once

#include <functional>
#include <memory>
#include <string>

#include "xpc/XPCInterface.h"

namespace harbormind {

// One connection to one daemon service, as a transport makes it.
class XPCConnection {
public:
    using ErrorHandler = std::function<void(const std::string& description)>;

    virtual ~XPCConnection() = default;

    // The object answering the service's callbacks; false when the transport cannot export it.
    virtual bool setExportedObject(std::weak_ptr<XPCInterface> object) = 0;
    virtual void setInterruptionHandler(std::function<void()> handler) = 0;
    virtual void setInvalidationHandler(std::function<void()> handler) = 0;
    virtual void resume() = 0;
    virtual void invalidate() = 0;
    // The service's proxy; `errorHandler` receives the description of a failed call (the
    // call's reply is then never sent). Null when the service is not reachable at all.
    virtual std::shared_ptr<XPCInterface> remoteObjectProxyWithErrorHandler(ErrorHandler errorHandler) = 0;
};

}  // namespace harbormind
