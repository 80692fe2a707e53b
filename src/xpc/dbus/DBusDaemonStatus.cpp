#include "xpc/dbus/DBusDaemonStatus.h"

#include "xpc/XPCServiceName.h"
#include "xpc/dbus/DBusDaemonVersionProxy.h"
#include "xpc/dbus/DBusErrorText.h"
#include "xpc/dbus/DBusLink.h"
#include "xpc/dbus/DBusNames.h"

namespace harbormind {
namespace {

constexpr std::uint64_t probeTimeout = 5'000'000;

bool answersPing(DBusLink& link, const std::string& serviceName, std::string& error) {
    try {
        auto& service = link.proxy(serviceName, DBusNames::objectPath(serviceName));
        service.callMethod(service.createMethodCall("org.freedesktop.DBus.Peer", "Ping"), probeTimeout);
        return true;
    } catch (const sdbus::Error& failure) {
        error = DBusErrorText::describe(failure.getName(), failure.getMessage());
        return false;
    }
}

}  // namespace

DBusDaemonStatus DBusDaemonStatus::probe() {
    DBusDaemonStatus status;
    std::shared_ptr<DBusLink> link = DBusLink::open(status.error);
    if (!link) {
        status.error = "no system bus: " + status.error;
        return status;
    }
    for (const char* name : XPCServiceName::all) {
        std::string error;
        bool answers = answersPing(*link, name, error);
        status.services.emplace_back(name, answers);
        if (answers && !status.reachable) {
            try {
                status.version = DBusDaemonVersionProxy(link->proxy(name, DBusNames::daemonObjectPath)).daemonVersion();
                status.reachable = true;
            } catch (const sdbus::Error& failure) {
                status.error = failure.getMessage();
            }
        } else if (!answers && status.error.empty()) {
            status.error = error;
        }
    }
    if (status.reachable) {
        status.error.clear();
    }
    return status;
}

}  // namespace harbormind
