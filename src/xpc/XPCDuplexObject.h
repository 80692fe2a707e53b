#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "xpc/XPCRemoteObject.h"

namespace harbormind {

// A client of a daemon service with callbacks: each connection also exports `exportObj`
// (the calling wrapper), which answers the service's application protocol.
class XPCDuplexObject : public XPCRemoteObject {
public:
    XPCDuplexObject(std::string strServiceName, std::weak_ptr<XPCInterface> exportObj,
                    std::shared_ptr<XPCTransport> transport = nullptr);

    std::shared_ptr<XPCInterface> exportObj() const { return exportObj_.lock(); }
    // The proxy and the connection of the most recent call.
    std::shared_ptr<XPCInterface> remoteObj() const;
    std::shared_ptr<XPCConnection> newConnection() const;
    // Only a serving side listens; the application's side keeps none.
    std::shared_ptr<XPCConnection> listener() const { return nullptr; }

protected:
    std::weak_ptr<XPCInterface> exportedObject() const override { return exportObj_; }
    bool exportsObject() const override { return true; }
    void connected(const std::shared_ptr<XPCConnection>& connection, const std::shared_ptr<XPCInterface>& proxy) override;

private:
    std::weak_ptr<XPCInterface> exportObj_;
    mutable std::mutex mutex_;
    std::weak_ptr<XPCInterface> remoteObj_;
    std::weak_ptr<XPCConnection> newConnection_;
};

}  // namespace harbormind
