#pragma once

#include "platform/linux/mounting/MountDaemonClient.h"
#include "platform/linux/mounting/MountRequests.h"

namespace harbormind {

// Mount requests of a user who is not root: one call each to the daemon on the system bus,
// whose answer (its code and its own reason) is the outcome. A daemon that cannot be reached,
// or that goes away before it answers, is a failure saying so.
class DaemonMountRequests final : public MountRequests {
public:
    Answer mount(const std::string& name, const std::optional<std::string>& mountPoint) override;
    Answer unmount(const std::string& name, UnmountForce force, UnmountScope scope) override;
    Answer eject(const std::string& name) override;

    // Where a volume is mounted is the daemon's choice for a user.
    static constexpr const char* chosenFolderRefused = "only root chooses where a volume is mounted";

private:
    MountDaemonClient daemon_;
};

}  // namespace harbormind
