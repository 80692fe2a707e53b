#pragma once

#include <string>

namespace harbormind {

// Turns a bus error into what the connection objects report: an absent service is an
// invalid connection, a peer that left or never answered an interrupted one.
struct DBusErrorText {
    static std::string describe(const std::string& errorName, const std::string& message);
};

}  // namespace harbormind
