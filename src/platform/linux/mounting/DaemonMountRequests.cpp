#include "platform/linux/mounting/DaemonMountRequests.h"

namespace harbormind {

namespace {
constexpr std::int64_t notPermitted = 13;
}

MountRequests::Answer DaemonMountRequests::mount(const std::string& name,
                                                 const std::optional<std::string>& mountPoint) {
    if (mountPoint) {
        return {notPermitted, chosenFolderRefused};
    }
    return daemon_.mountVolume(name);
}

MountRequests::Answer DaemonMountRequests::unmount(const std::string& name, UnmountForce force,
                                                   UnmountScope scope) {
    return daemon_.unmountVolume(name, force == UnmountForce::Yes, scope == UnmountScope::WholeDisk);
}

MountRequests::Answer DaemonMountRequests::eject(const std::string& name) {
    return daemon_.ejectDisk(name);
}

}  // namespace harbormind
