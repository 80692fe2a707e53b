#pragma once

#include <sdbus-c++/sdbus-c++.h>

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "daemon/DaemonAction.h"
#include "xpc/dbus/DBusEventLoop.h"

namespace harbormind::test {

// polkit's authority on the test's private bus, answering as the shipped policy file does for
// a caller in an active local session whose authentication agent asks nobody: an action the
// policy allows to active sessions is granted, any other refused. A test grants a uid more (an
// administrator who typed the password), or holds a uid's questions unanswered (an agent that
// never answers) until it lets them go.
class PolicyAuthority {
public:
    PolicyAuthority();
    ~PolicyAuthority();

    void grant(std::uint32_t uid, DaemonAction action);
    void hold(std::uint32_t uid);
    // Refuses every question held so far, and holds no more.
    void release();
    std::size_t held();
    // "UID ACTION" for every question, in order.
    std::vector<std::string> asked();

private:
    void answer(sdbus::MethodCall call);
    bool granted(std::uint32_t uid, const std::string& action);

    std::set<std::string> forActiveSessions_;
    std::unique_ptr<sdbus::IConnection> connection_;
    std::unique_ptr<sdbus::IConnection> lookups_;
    std::unique_ptr<sdbus::IObject> object_;
    std::unique_ptr<DBusEventLoop> loop_;
    std::mutex mutex_;
    std::map<std::uint32_t, std::set<std::string>> grants_;
    std::set<std::uint32_t> holding_;
    std::vector<sdbus::MethodCall> held_;
    std::vector<std::string> asked_;
};

}  // namespace harbormind::test
