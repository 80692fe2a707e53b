#pragma once

#include <memory>
#include <string>

#include "testsupport/ChildProcess.h"

namespace harbormind::test {

class PrivateBus;

// The distribution's own polkitd on a test's private system bus. It reads its actions from
// /usr/share/polkit-1/actions and its rules from /etc/polkit-1/rules.d, so it runs in a mount
// name space of its own where those two folders are the test's: the installed actions, and a
// rules folder holding the one rules file the test wrote. Tests running at the same time each
// have their own, and nothing of the machine's polkit setup changes.
class PolkitAuthority {
public:
    static constexpr const char* program = "/usr/lib/polkit-1/polkitd";
    static constexpr const char* rulesFileName = "50-harbormind-system-test.rules";

    // Whether polkitd and unshare are here.
    static bool available(std::string& whyNot);
    // Null with `error` when polkitd does not come up on `bus`. `folder` is the test's own
    // (reachable by the polkitd user).
    static std::unique_ptr<PolkitAuthority> start(const PrivateBus& bus, const std::string& folder,
                                                  const std::string& actionsFolder, const std::string& rules,
                                                  std::string& error);
    ~PolkitAuthority();
    PolkitAuthority(const PolkitAuthority&) = delete;
    PolkitAuthority& operator=(const PolkitAuthority&) = delete;

    // What polkitd wrote to its standard error.
    std::string log() const;

private:
    PolkitAuthority() = default;

    std::string rulesFolder_;
    std::string logFile_;
    std::unique_ptr<ChildProcess> daemon_;
};

}  // namespace harbormind::test
