#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "daemon/PolkitActionId.h"

namespace harbormind {
namespace {

struct Defaults {
    std::string any, inactive, active;
};

// The actions of the shipped policy file and their defaults.
std::map<std::string, Defaults> shippedActions() {
    std::ifstream in(std::string(HARBORMIND_TEST_SOURCE_DIR) + "/resources/daemon/com.kestrane.drivemanagerd.policy");
    std::stringstream text;
    text << in.rdbuf();
    const std::string policy = text.str();
    std::map<std::string, Defaults> actions;
    std::regex action(R"re(<action id="([^"]+)">[\s\S]*?<allow_any>(\w+)</allow_any>\s*<allow_inactive>(\w+)</allow_inactive>\s*<allow_active>(\w+)</allow_active>)re");
    for (std::sregex_iterator it(policy.begin(), policy.end(), action), end; it != end; ++it) {
        actions[(*it)[1]] = {(*it)[2], (*it)[3], (*it)[4]};
    }
    return actions;
}

// polkit refuses an action it does not know, so an action the daemon asks about but the file
// lacks would refuse everyone; one the file has but nobody asks about misleads administrators.
TEST(PolkitPolicyFileTest, DeclaresExactlyTheActionsTheDaemonAsksAbout) {
    auto shipped = shippedActions();
    ASSERT_FALSE(shipped.empty());
    for (DaemonAction action : PolkitActionId::all()) {
        EXPECT_TRUE(shipped.contains(PolkitActionId::of(action))) << PolkitActionId::of(action);
    }
    EXPECT_EQ(shipped.size(), PolkitActionId::all().size());
}

// Like a trusted desktop: the things an active user does with their own media are allowed to
// active sessions (reading a drive's health and starting its self-test harm nothing), and
// erasing their own removable media asks for their own password first; whatever reaches the
// computer's own disks, other users' media or the system needs an administrator; nothing is
// allowed to inactive or remote sessions.
TEST(PolkitPolicyFileTest, OnlyTheActiveUsersOwnMediaNeedsNoAdministrator) {
    auto shipped = shippedActions();
    const std::set<std::string> forActiveUsers{"query",  "mount-removable", "eject",    "attach-image",
                                               "unlock", "health",          "self-test"};
    const std::set<std::string> withTheirPassword{"erase-removable", "restore-removable"};
    for (const auto& [id, defaults] : shipped) {
        const std::string name = id.substr(std::string(PolkitActionId::prefix).size());
        EXPECT_EQ(defaults.active == "yes", forActiveUsers.contains(name)) << id;
        EXPECT_EQ(defaults.active == "auth_self_keep", withTheirPassword.contains(name)) << id;
        EXPECT_NE(defaults.any, "yes") << id;
        EXPECT_NE(defaults.inactive, "yes") << id;
        if (defaults.active != "yes" && !withTheirPassword.contains(name)) {
            EXPECT_EQ(defaults.active.rfind("auth_admin", 0), 0u) << id;
        }
    }
}

}  // namespace
}  // namespace harbormind
