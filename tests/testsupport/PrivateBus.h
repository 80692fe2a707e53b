#pragma once

#include <memory>
#include <string>

#include "testsupport/ChildProcess.h"

namespace harbormind::test {

// A dbus-daemon of the test's own, configured like a system bus with the daemon's policy
// file (from resources/daemon, or the one given: an installed copy). When the test is not root, the policy's rules for root are
// given to the test's user instead, so a daemon the test starts may own the names.
// DBUS_SYSTEM_BUS_ADDRESS is set to it while it lives.
class PrivateBus {
public:
    // Null with `error` when dbus-daemon cannot be started.
    static std::unique_ptr<PrivateBus> start(std::string& error, const std::string& policyFile = {});
    ~PrivateBus();

    const std::string& address() const { return address_; }
    const std::string& folder() const { return folder_; }
    // Waits (a bounded, polling wait) until `name` has an owner on the bus.
    bool waitForName(const std::string& name, bool owned = true) const;

private:
    PrivateBus() = default;

    std::string folder_;
    std::string address_;
    std::unique_ptr<ChildProcess> daemon_;
};

}  // namespace harbormind::test
