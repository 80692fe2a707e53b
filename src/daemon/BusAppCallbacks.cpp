#include "daemon/BusAppCallbacks.h"

#include "support/Log.h"
#include "xpc/XPCServiceName.h"
#include "xpc/dbus/DBusNames.h"

namespace harbormind {
namespace {

std::int64_t unansweredProgressOf(const std::string& serviceName) {
    return serviceName == XPCServiceName::luks ? DMBitLockerAppProtocol::unanswered : 0;
}

}  // namespace

BusAppCallbacks::BusAppCallbacks(sdbus::IConnection& connection, const std::string& callerBusName,
                                 std::string serviceName)
    : proxy_(sdbus::createProxy(connection, callerBusName, DBusNames::appObjectPath)),
      interface_(DBusNames::appInterfaceName(serviceName)),
      unanswered_(unansweredProgressOf(serviceName)) {}

void BusAppCallbacks::updateProgressWithStatus(std::int64_t status, std::int64_t total, std::int64_t current,
                                               std::int64_t error, XPCIntReply reply) {
    std::int64_t answer = unanswered_;
    try {
        auto call = proxy_->createMethodCall(interface_, "updateProgressWithStatus");
        call << status << total << current << error;
        auto result = proxy_->callMethod(call, DBusTimeout::none);
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

void BusAppCallbacks::continuedWithReply(XPCBoolReply reply) {
    bool answer = true;
    try {
        auto call = proxy_->createMethodCall(interface_, "continuedWithReply");
        auto result = proxy_->callMethod(call, DBusTimeout::none);
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
        auto call = proxy_->createMethodCall(interface_, "updateUIWithChekcInfo");
        call << info << checkStatus;
        call.dontExpectReply();
        proxy_->callMethod(call);
    } catch (const sdbus::Error& failure) {
        Log::info("check-disk callback failed: " + failure.getMessage());
    }
}

}  // namespace harbormind
