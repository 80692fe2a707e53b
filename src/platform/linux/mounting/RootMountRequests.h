#pragma once

#include <functional>
#include <string>

#include "platform/linux/mounting/MountRequests.h"

namespace harbormind {

// Mount requests of root, done in this process with the mount verbs, for root and with its
// mount folders under `mediaRoot`: what the mount helper does when root runs it.
class RootMountRequests final : public MountRequests {
public:
    explicit RootMountRequests(std::string mediaRoot) : mediaRoot_(std::move(mediaRoot)) {}

    Answer mount(const std::string& name, const std::optional<std::string>& mountPoint) override;
    Answer unmount(const std::string& name, UnmountForce force, UnmountScope scope) override;
    Answer eject(const std::string& name) override;

private:
    Answer run(const std::function<int(MountHelper&)>& verb) const;

    std::string mediaRoot_;
};

}  // namespace harbormind
