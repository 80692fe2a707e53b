#pragma once

#include <map>
#include <string>

namespace harbormind::test {

// The groups a system test's polkit rules are keyed on.
struct PolkitTestGroups {
    // Granted what an active local session gets (each action's allow_active).
    std::string desktop;
    // Refused everything.
    std::string refused;
    // Granted everything, as an administrator who authenticated.
    std::string administrator;
};

// polkit rules for the actions the daemon installs. This machine has no login manager, so
// polkit sees no session at all; membership of a group stands for being the user of the
// active local session.
class PolkitTestRules {
public:
    // Each action's allow_active, from the .policy files of `actionsFolder`.
    static std::map<std::string, std::string> activeSessionDefaults(const std::string& actionsFolder);
    // The rules file's text.
    static std::string text(const std::map<std::string, std::string>& activeSession, const PolkitTestGroups& groups);
};

}  // namespace harbormind::test
