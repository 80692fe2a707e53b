#include "daemon/linux/LocalAuthorizationRules.h"

#include <grp.h>
#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

namespace harbormind {

LocalAuthorizationRules::LocalAuthorizationRules(std::optional<std::string> group) : group_(std::move(group)) {}

bool LocalAuthorizationRules::authorize(const CallerIdentity& caller, DaemonAction) {
    return caller.uid == 0 || caller.uid == ::geteuid() || inGroup(caller);
}

bool LocalAuthorizationRules::inGroup(const CallerIdentity& caller) const {
    if (!group_) {
        return false;
    }
    std::vector<char> buffer(16384);
    struct group entry {};
    struct group* found = nullptr;
    if (::getgrnam_r(group_->c_str(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found) {
        return false;
    }
    gid_t gid = found->gr_gid;
    if (!caller.groups.empty()) {
        // The groups of the calling process, as the bus read them when it connected.
        return std::find(caller.groups.begin(), caller.groups.end(), gid) != caller.groups.end();
    }
    std::vector<char> userBuffer(16384);
    struct passwd user {};
    struct passwd* who = nullptr;
    if (::getpwuid_r(caller.uid, &user, userBuffer.data(), userBuffer.size(), &who) != 0 || !who) {
        return false;
    }
    int count = 64;
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    if (::getgrouplist(who->pw_name, who->pw_gid, groups.data(), &count) < 0) {
        groups.resize(static_cast<std::size_t>(count));
        ::getgrouplist(who->pw_name, who->pw_gid, groups.data(), &count);
    }
    groups.resize(static_cast<std::size_t>(std::max(count, 0)));
    return std::find(groups.begin(), groups.end(), gid) != groups.end();
}

}  // namespace harbormind
