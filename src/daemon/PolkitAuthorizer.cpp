#include "daemon/PolkitAuthorizer.h"

#include <map>

#include "daemon/PolkitActionId.h"
#include "support/Log.h"
#include "xpc/dbus/DBusNames.h"

namespace harbormind {
namespace {

// An administrator may need time to type a password in the agent's dialog.
constexpr std::uint64_t authorizationTimeout = 300'000'000;
constexpr std::uint32_t allowUserInteraction = 1;

bool polkitAbsent(const sdbus::Error& failure) {
    return failure.getName() == "org.freedesktop.DBus.Error.ServiceUnknown" ||
           failure.getName() == "org.freedesktop.DBus.Error.NameHasNoOwner";
}

}  // namespace

PolkitAuthorizer::PolkitAuthorizer(sdbus::IConnection& connection, std::shared_ptr<DaemonAuthorizer> withoutPolkit)
    : connection_(connection), withoutPolkit_(std::move(withoutPolkit)) {}

bool PolkitAuthorizer::authorize(const CallerIdentity& caller, DaemonAction action) {
    if (caller.uid == 0) {
        return true;
    }
    if (action == DaemonAction::perDevice) {
        return false;
    }
    try {
        auto authority = sdbus::createProxy(connection_, "org.freedesktop.PolicyKit1",
                                            "/org/freedesktop/PolicyKit1/Authority");
        auto call = authority->createMethodCall("org.freedesktop.PolicyKit1.Authority", "CheckAuthorization");
        std::map<std::string, sdbus::Variant> subjectDetails{{"name", sdbus::Variant(caller.busName)}};
        call << sdbus::Struct<std::string, std::map<std::string, sdbus::Variant>>("system-bus-name", subjectDetails);
        call << PolkitActionId::of(action);
        call << std::map<std::string, std::string>{} << allowUserInteraction << std::string();
        auto reply = authority->callMethod(call, authorizationTimeout);
        sdbus::Struct<bool, bool, std::map<std::string, std::string>> result;
        reply >> result;
        return std::get<0>(result);
    } catch (const sdbus::Error& failure) {
        if (polkitAbsent(failure)) {
            return withoutPolkit_->authorize(caller, action);
        }
        Log::warning("polkit could not decide for uid " + std::to_string(caller.uid) + ": " + failure.getMessage());
        return false;
    }
}

}  // namespace harbormind
