#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/linux/mounting/MountDaemonClient.h"
#include "platform/linux/mounting/MountHelper.h"

namespace harbormind {

// The mount, unmount and eject requests of the platform's disk sessions, made from this
// process: each returns once the work is done or refused, with the code (0 done,
// MountHelper::busyStatus when something still uses the volume, anything else failed) and the
// reason the user is shown, as the one who did the work worded it.
class MountRequests {
public:
    using Answer = MountDaemonClient::Answer;

    virtual ~MountRequests() = default;

    virtual Answer mount(const std::string& name, const std::optional<std::string>& mountPoint) = 0;
    virtual Answer unmount(const std::string& name, UnmountForce force, UnmountScope scope) = 0;
    virtual Answer eject(const std::string& name) = 0;

    // Root acts itself, mounting under `mediaRoot` (empty: the usual one); anyone else asks the daemon on the
    // bus, which knows the caller from the bus and chooses the mount folder.
    static std::shared_ptr<MountRequests> forThisProcess(const std::string& mediaRoot);
};

}  // namespace harbormind
