#pragma once

#include <memory>
#include <mutex>
#include <string>

#include <sdbus-c++/sdbus-c++.h>

#include "xpc/DMBitLockerAppProtocol.h"
#include "xpc/DMCheckDiskAppProtocol.h"
#include "xpc/DMDeviceCloneAppProtocol.h"

namespace harbormind {

// The callbacks of one caller of one service: method calls on the object the application
// exports on its own connection. An encryption's call with a reply waits as long as the
// application takes (a progress callback waits for the user); an application that is gone
// answers with the bus's error. An encryption's reports ask (the go-ahead, whether to go on),
// so its job then gets `DMBitLockerAppProtocol::unanswered`, which never means yes; other
// callers get the neutral answer (0 to go on, true to continue). The clone's progress reports
// never wait: they are sent without blocking, and an
// application that has not answered within `cloneReportLimit` counts as having answered 0.
class BusAppCallbacks final : public DMBitLockerAppProtocol,
                              public DMDeviceCloneAppProtocol,
                              public DMCheckDiskAppProtocol,
                              public std::enable_shared_from_this<BusAppCallbacks> {
public:
    // In microseconds, as sdbus-c++ takes it.
    static constexpr std::uint64_t cloneReportLimit = 5'000'000;

    BusAppCallbacks(sdbus::IConnection& connection, const std::string& callerBusName, std::string serviceName);

    void updateProgressWithStatus(std::int64_t status, std::int64_t total, std::int64_t current, std::int64_t error,
                                  XPCIntReply reply) override;
    void continuedWithReply(XPCBoolReply reply) override;
    void updateUIWithChekcInfo(const std::string& info, std::int64_t checkStatus) override;
    void cloneEndedWithUnreadableBytes(std::int64_t unreadableBytes, const std::string& reason) override;

    // Drops the application's object and every report still waiting for its answer: the daemon
    // is ending and its connection's loop has stopped. Later callbacks send nothing.
    void abandon();

private:
    std::shared_ptr<sdbus::IProxy> proxy() const;
    void sendReportWithoutWaiting(sdbus::IProxy& proxy, sdbus::MethodCall& call, XPCIntReply reply);

    mutable std::mutex mutex_;
    std::shared_ptr<sdbus::IProxy> proxy_;
    std::string interface_;
    std::int64_t unanswered_;
    bool reportsWithoutWaiting_;
};

}  // namespace harbormind
