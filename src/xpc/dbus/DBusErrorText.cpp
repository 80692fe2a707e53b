#include "xpc/dbus/DBusErrorText.h"

#include <array>
#include <string_view>

#include "xpc/XPCErrorText.h"

namespace harbormind {
namespace {

constexpr std::array<std::string_view, 4> absent = {
    "org.freedesktop.DBus.Error.ServiceUnknown", "org.freedesktop.DBus.Error.NameHasNoOwner",
    "org.freedesktop.DBus.Error.UnknownObject", "org.freedesktop.DBus.Error.FileNotFound"};
constexpr std::array<std::string_view, 5> lost = {
    "org.freedesktop.DBus.Error.NoReply", "org.freedesktop.DBus.Error.Disconnected",
    "org.freedesktop.DBus.Error.Timeout", "org.freedesktop.DBus.Error.TimedOut", "sdbus.Error.Disconnected"};

bool among(const auto& names, const std::string& name) {
    for (std::string_view candidate : names) {
        if (candidate == name) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::string DBusErrorText::describe(const std::string& errorName, const std::string& message) {
    if (among(absent, errorName)) {
        return XPCErrorText::connectionInvalid;
    }
    if (among(lost, errorName)) {
        return XPCErrorText::connectionInterrupted;
    }
    return message.empty() ? errorName : errorName + ": " + message;
}

}  // namespace harbormind
