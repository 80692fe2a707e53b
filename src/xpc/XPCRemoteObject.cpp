#include "xpc/XPCRemoteObject.h"

#include <mutex>
#include <set>

#include "support/Log.h"
#include "xpc/DaemonReachability.h"
#include "xpc/XPCErrorText.h"

namespace harbormind {
namespace {

// Keeps the connection open for as long as the caller holds the proxy.
struct ProxyHolder {
    std::shared_ptr<XPCConnection> connection;
    std::shared_ptr<XPCInterface> proxy;
};

}  // namespace

XPCRemoteObject::XPCRemoteObject(std::string strServiceName, std::shared_ptr<XPCTransport> transport)
    : strServiceName_(std::move(strServiceName)), transport_(std::move(transport)) {
    errorHandler_ = [name = strServiceName_](const std::string& description) {
        // A daemon that is absent fails every call the same way: say so once per service
        // and kind of failure, then only in debug logging.
        static std::mutex mutex;
        static auto* reported = new std::set<std::string>();
        std::string text = name + ": " + description;
        bool first;
        {
            std::lock_guard lock(mutex);
            first = reported->insert(text).second;
        }
        if (first) {
            Log::warning(text);
        } else {
            Log::debug(text);
        }
    };
}

void XPCRemoteObject::setErrorHandler(ErrorHandler handler) {
    std::lock_guard lock(mutex_);
    errorHandler_ = std::move(handler);
}

XPCRemoteObject::ErrorHandler XPCRemoteObject::errorHandler() const {
    std::lock_guard lock(mutex_);
    return errorHandler_;
}

void XPCRemoteObject::report(const ErrorHandler& handler, const std::string& description,
                             const std::function<void()>& onFailure) {
    if (description == XPCErrorText::connectionInvalid || description == XPCErrorText::connectionInterrupted) {
        DaemonReachability::connectionFailed(description);
    }
    if (handler) {
        handler(description);
    }
    if (onFailure) {
        onFailure();
    }
}

std::shared_ptr<XPCInterface> XPCRemoteObject::connect(const std::function<void()>& onFailure) {
    std::shared_ptr<XPCTransport> transport = transport_ ? transport_ : XPCTransport::current();
    std::shared_ptr<XPCConnection> connection = transport->newConnection(strServiceName_);
    // The handlers capture what they need by value: a connection may outlive this object.
    ErrorHandler handler = errorHandler();
    if (!connection) {
        report(handler, XPCErrorText::connectionInvalid, onFailure);
        return nullptr;
    }
    if (exportsObject() && !connection->setExportedObject(exportedObject())) {
        report(handler, XPCErrorText::exportFailed, onFailure);
        return nullptr;
    }
    connection->setInterruptionHandler([handler, onFailure] { report(handler, XPCErrorText::connectionInterrupted, onFailure); });
    connection->setInvalidationHandler([handler, onFailure] { report(handler, XPCErrorText::connectionInvalid, onFailure); });
    connection->resume();
    std::shared_ptr<XPCInterface> proxy = connection->remoteObjectProxyWithErrorHandler(
        [handler, onFailure](const std::string& description) { report(handler, description, onFailure); });
    if (!proxy) {
        return nullptr;
    }
    connected(connection, proxy);
    auto holder = std::make_shared<ProxyHolder>(ProxyHolder{connection, proxy});
    return std::shared_ptr<XPCInterface>(holder, holder->proxy.get());
}

}  // namespace harbormind
