#pragma once

#include <memory>
#include <string>

#include <sdbus-c++/sdbus-c++.h>

#include "xpc/DMBitLockerAppProtocol.h"
#include "xpc/DMCheckDiskAppProtocol.h"
#include "xpc/DMDeviceCloneAppProtocol.h"

namespace harbormind {

// The callbacks of one caller of one service: method calls on the object the application
// exports on its own connection. A call with a reply waits as long as the application takes
// (a progress callback waits for the user); an application that is gone answers with the
// bus's error. A clone's job then gets the neutral answer (0 to go on, true to continue):
// its reports only inform. An encryption's reports ask (the go-ahead, whether to go on), so
// its job gets `DMBitLockerAppProtocol::unanswered`, which never means yes.
class BusAppCallbacks final : public DMBitLockerAppProtocol,
                              public DMDeviceCloneAppProtocol,
                              public DMCheckDiskAppProtocol {
public:
    BusAppCallbacks(sdbus::IConnection& connection, const std::string& callerBusName, std::string serviceName);

    void updateProgressWithStatus(std::int64_t status, std::int64_t total, std::int64_t current, std::int64_t error,
                                  XPCIntReply reply) override;
    void continuedWithReply(XPCBoolReply reply) override;
    void updateUIWithChekcInfo(const std::string& info, std::int64_t checkStatus) override;

private:
    std::unique_ptr<sdbus::IProxy> proxy_;
    std::string interface_;
    std::int64_t unanswered_;
};

}  // namespace harbormind
