#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "xpc/XPCConnection.h"
#include "xpc/XPCErrorText.h"
#include "xpc/XPCTransport.h"

namespace harbormind {

// A client of one daemon service without callbacks. Each call opens a new connection; a
// failure at any step goes to `errorHandler` (which logs it) and to the caller's own
// failure hook, which releases a waiting caller with its default answer.
class XPCRemoteObject {
public:
    using ErrorHandler = std::function<void(const std::string& description)>;

    explicit XPCRemoteObject(std::string strServiceName, std::shared_ptr<XPCTransport> transport = nullptr);
    virtual ~XPCRemoteObject() = default;
    XPCRemoteObject(const XPCRemoteObject&) = delete;
    XPCRemoteObject& operator=(const XPCRemoteObject&) = delete;

    const std::string& strServiceName() const { return strServiceName_; }
    void setErrorHandler(ErrorHandler handler);
    ErrorHandler errorHandler() const;

    // A proxy of the service as `Protocol` over a fresh connection, or null after a failure
    // (reported to the error handler and to `onFailure`). `onFailure` may also run later,
    // when the connection is interrupted or invalidated, or a call through the proxy fails.
    template <typename Protocol>
    std::shared_ptr<Protocol> remoteObject(std::function<void()> onFailure = {}) {
        std::shared_ptr<XPCInterface> proxy = connect(onFailure);
        if (!proxy) {
            return nullptr;
        }
        auto typed = std::dynamic_pointer_cast<Protocol>(proxy);
        if (!typed) {
            report(errorHandler(), XPCErrorText::interfaceConversionFailed, onFailure);
        }
        return typed;
    }

protected:
    // The object to export on each connection; none for a plain remote object.
    virtual std::weak_ptr<XPCInterface> exportedObject() const { return {}; }
    virtual bool exportsObject() const { return false; }
    virtual void connected(const std::shared_ptr<XPCConnection>&, const std::shared_ptr<XPCInterface>&) {}

    static void report(const ErrorHandler& handler, const std::string& description,
                       const std::function<void()>& onFailure);

private:
    std::shared_ptr<XPCInterface> connect(const std::function<void()>& onFailure);

    std::string strServiceName_;
    std::shared_ptr<XPCTransport> transport_;
    mutable std::mutex mutex_;
    ErrorHandler errorHandler_;
};

}  // namespace harbormind
