#include "daemon/BusCallerCredentials.h"

#include <map>
#include <vector>

#include "xpc/dbus/DBusNames.h"

namespace harbormind {

sdbus::MethodCall BusCallerCredentials::question(sdbus::IProxy& bus, const std::string& busName) {
    auto call = bus.createMethodCall("org.freedesktop.DBus", "GetConnectionCredentials");
    call << busName;
    return call;
}

std::optional<CallerIdentity> BusCallerCredentials::fromReply(const std::string& busName, sdbus::MethodReply& reply) {
    try {
        std::map<std::string, sdbus::Variant> facts;
        reply >> facts;
        auto uid = facts.find("UnixUserID");
        auto pid = facts.find("ProcessID");
        if (uid == facts.end() || pid == facts.end()) {
            return std::nullopt;
        }
        CallerIdentity caller;
        caller.busName = busName;
        caller.uid = uid->second.get<std::uint32_t>();
        caller.pid = pid->second.get<std::uint32_t>();
        if (auto groups = facts.find("UnixGroupIDs"); groups != facts.end()) {
            caller.groups = groups->second.get<std::vector<std::uint32_t>>();
        }
        return caller;
    } catch (const sdbus::Error&) {
        return std::nullopt;
    }
}

std::optional<CallerIdentity> BusCallerCredentials::of(sdbus::IConnection& connection, const std::string& busName) {
    try {
        auto bus = sdbus::createProxy(connection, "org.freedesktop.DBus", "/org/freedesktop/DBus");
        auto reply = bus->callMethod(question(*bus, busName), DBusTimeout::busQuery);
        return fromReply(busName, reply);
    } catch (const sdbus::Error&) {
        return std::nullopt;
    }
}

}  // namespace harbormind
