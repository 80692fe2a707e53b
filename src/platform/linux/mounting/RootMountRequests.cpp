#include "platform/linux/mounting/RootMountRequests.h"

#include <sstream>

namespace harbormind {

MountRequests::Answer RootMountRequests::run(const std::function<int(MountHelper&)>& verb) const {
    std::ostringstream out;
    std::ostringstream err;
    MountHelper helper(MountOwner::ofUid(0).value_or(MountOwner{"root", 0, 0}), mediaRoot_, out, err);
    const int status = verb(helper);
    return {status, MountHelper::lastLine(status == 0 ? out.str() : err.str())};
}

MountRequests::Answer RootMountRequests::mount(const std::string& name,
                                               const std::optional<std::string>& mountPoint) {
    return run([&](MountHelper& helper) { return helper.mount(name, mountPoint); });
}

MountRequests::Answer RootMountRequests::unmount(const std::string& name, UnmountForce force,
                                                 UnmountScope scope) {
    return run([&](MountHelper& helper) { return helper.unmount(name, force, scope); });
}

MountRequests::Answer RootMountRequests::eject(const std::string& name) {
    return run([&](MountHelper& helper) { return helper.eject(name); });
}

}  // namespace harbormind
