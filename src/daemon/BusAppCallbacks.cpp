#include "daemon/BusAppCallbacks.h"

#include "support/Dispatch.h"
#include "support/Log.h"
#include "xpc/XPCServiceName.h"
#include "xpc/dbus/DBusNames.h"
#include "xpc/dbus/interfaces/checkDiskXPC_App_proxy.h"
#include "xpc/dbus/interfaces/deviceCloneXPC_App_proxy.h"

namespace harbormind {
namespace {

// Sends the callbacks of a generated proxy (whose own constructor is for subclasses) through
// `proxy`.
template <typename Generated>
class Calling final : public Generated {
public:
    explicit Calling(sdbus::IProxy& proxy) : Generated(proxy) {}
};

std::int64_t unansweredProgressOf(const std::string& serviceName) {
    return serviceName == XPCServiceName::luks ? DMBitLockerAppProtocol::unanswered : 0;
}

}  // namespace

BusAppCallbacks::BusAppCallbacks(sdbus::IConnection& connection, const std::string& callerBusName,
                                 std::string serviceName)
    : proxy_(sdbus::createProxy(connection, callerBusName, DBusNames::appObjectPath)),
      interface_(DBusNames::appInterfaceName(serviceName)),
      unanswered_(unansweredProgressOf(serviceName)),
      reportsWithoutWaiting_(serviceName == XPCServiceName::deviceClone) {}

std::shared_ptr<sdbus::IProxy> BusAppCallbacks::proxy() const {
    std::lock_guard lock(mutex_);
    return proxy_;
}

void BusAppCallbacks::abandon() {
    std::shared_ptr<sdbus::IProxy> dropped;
    {
        std::lock_guard lock(mutex_);
        dropped.swap(proxy_);
    }
}

void BusAppCallbacks::updateProgressWithStatus(std::int64_t status, std::int64_t total, std::int64_t current,
                                               std::int64_t error, XPCIntReply reply) {
    std::int64_t answer = unanswered_;
    try {
        auto target = proxy();
        if (!target) {
            throw sdbus::Error("org.freedesktop.DBus.Error.Disconnected", "the daemon is ending");
        }
        auto call = target->createMethodCall(interface_, "updateProgressWithStatus");
        call << status << total << current << error;
        if (reportsWithoutWaiting_) {
            sendReportWithoutWaiting(*target, call, std::move(reply));
            return;
        }
        auto result = target->callMethod(call, DBusTimeout::none);
        std::int64_t given = 0;
        result >> given;
        answer = given;
    } catch (const sdbus::Error& failure) {
        Log::info("progress callback failed: " + failure.getMessage());
    }
    if (reply) {
        reply(answer);
    }
}

// The answer comes on the connection's loop thread, or 0 once the limit has passed. This
// object stays alive until then; it is let go off that thread, since its proxy is the one
// delivering the answer.
void BusAppCallbacks::sendReportWithoutWaiting(sdbus::IProxy& proxy, sdbus::MethodCall& call, XPCIntReply reply) {
    auto answered = std::make_shared<XPCIntReply>(std::move(reply));
    auto self = shared_from_this();
    try {
        proxy.callMethod(
            call,
            [self, answered](sdbus::MethodReply& result, const sdbus::Error* failure) mutable {
                std::int64_t answer = 0;
                if (failure) {
                    Log::info("progress callback failed: " + failure->getMessage());
                } else {
                    try {
                        result >> answer;
                    } catch (const sdbus::Error& unreadable) {
                        Log::info("progress callback answered wrongly: " + unreadable.getMessage());
                    }
                }
                if (*answered) {
                    (*answered)(answer);
                }
                Dispatch::global()->async([self = std::move(self)]() mutable { self.reset(); });
            },
            cloneReportLimit);
    } catch (const sdbus::Error& failure) {
        Log::info("progress callback failed: " + failure.getMessage());
        if (*answered) {
            (*answered)(0);
        }
    }
}

void BusAppCallbacks::continuedWithReply(XPCBoolReply reply) {
    bool answer = true;
    try {
        auto target = proxy();
        if (!target) {
            throw sdbus::Error("org.freedesktop.DBus.Error.Disconnected", "the daemon is ending");
        }
        auto call = target->createMethodCall(interface_, "continuedWithReply");
        auto result = target->callMethod(call, DBusTimeout::none);
        result >> answer;
    } catch (const sdbus::Error& failure) {
        Log::info("continue callback failed: " + failure.getMessage());
    }
    if (reply) {
        reply(answer);
    }
}

void BusAppCallbacks::updateUIWithChekcInfo(const std::string& info, std::int64_t checkStatus) {
    try {
        if (auto target = proxy()) {
            Calling<com::Kestrane::drivemanagerd::checkDiskXPC::App_proxy>(*target).updateUIWithChekcInfo(info,
                                                                                              checkStatus);
        }
    } catch (const sdbus::Error& failure) {
        Log::info("check-disk callback failed: " + failure.getMessage());
    }
}

void BusAppCallbacks::cloneEndedWithUnreadableBytes(std::int64_t unreadableBytes, const std::string& reason) {
    try {
        if (auto target = proxy()) {
            Calling<com::Kestrane::drivemanagerd::deviceCloneXPC::App_proxy>(*target).cloneEndedWithUnreadableBytes(
                unreadableBytes, reason);
        }
    } catch (const sdbus::Error& failure) {
        Log::info("clone end callback failed: " + failure.getMessage());
    }
}

}  // namespace harbormind
