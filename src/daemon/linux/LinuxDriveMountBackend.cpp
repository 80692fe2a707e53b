#include "daemon/linux/LinuxDriveMountBackend.h"

#include <sstream>

#include "platform/linux/diskevents/LinuxDeviceLocks.h"
#include "platform/linux/mounting/MountHelper.h"
#include "platform/linux/mounting/UserMediaFolder.h"
#include "support/Log.h"

namespace harbormind {
namespace {

// The helper's last line, without its program name: what the caller is told.
std::string lastLine(std::string text) {
    while (!text.empty() && text.back() == '\n') {
        text.pop_back();
    }
    if (auto line = text.rfind('\n'); line != std::string::npos) {
        text = text.substr(line + 1);
    }
    const std::string prefix = "harbormind-mount: ";
    return text.rfind(prefix, 0) == 0 ? text.substr(prefix.size()) : text;
}

DaemonCodeReply notPermittedFor(const std::string& what) {
    return {DriveMountBackend::notPermitted, what};
}

}  // namespace

LinuxDriveMountBackend::LinuxDriveMountBackend(std::string mediaRoot) : mediaRoot_(std::move(mediaRoot)) {}

template <typename Verb>
DaemonCodeReply LinuxDriveMountBackend::run(const std::string& name, std::uint32_t uid, Verb&& verb) {
    auto owner = MountOwner::ofUid(uid);
    if (!owner) {
        return notPermittedFor("uid " + std::to_string(uid) + " has no account here");
    }
    std::ostringstream out;
    std::ostringstream err;
    MountHelper helper(*owner, mediaRoot_, out, err);
    std::string refusal;
    auto refuse = [&refusal](std::string why) {
        refusal = std::move(why);
        return static_cast<int>(notPermitted);
    };
    auto held = LinuxDeviceLocks::hold(name);
    int status = verb(helper, refuse);
    if (!refusal.empty()) {
        Log::warning("refused " + name + " to uid " + std::to_string(uid) + ": " + refusal);
        return notPermittedFor(refusal);
    }
    if (status == 0) {
        return {done, lastLine(out.str())};
    }
    std::string message = lastLine(err.str());
    return {status == MountHelper::busyStatus ? busy : failed,
            message.empty() ? "failed (status " + std::to_string(status) + ")" : message};
}

std::string LinuxDriveMountBackend::foreignMount(const MountHelper& helper, const std::string& name, bool wholeDisk,
                                                 std::uint32_t uid) const {
    auto owner = MountOwner::ofUid(uid);
    for (const auto& point : helper.mountPointsOf(name, wholeDisk ? UnmountScope::WholeDisk : UnmountScope::Volume)) {
        if (!owner || !UserMediaFolder(mediaRoot_, *owner).holds(point)) {
            return point;
        }
    }
    return {};
}

DaemonCodeReply LinuxDriveMountBackend::mountVolume(const std::string& name, const DriveMountCaller& caller) {
    return run(name, caller.uid, [&](MountHelper& helper, auto refuse) {
        if (caller.uid != 0 && helper.isInternal(name) && !(caller.isAdministrator && caller.isAdministrator())) {
            return refuse(name + " is on an internal disk: mounting it needs an administrator");
        }
        // A volume mounted already (by root, elsewhere) is answered with its place, and
        // does not become the caller's.
        const bool mountedBefore = !helper.mountPointsOf(name, UnmountScope::Volume).empty();
        int status = helper.mount(name, std::nullopt);
        if (status == 0 && !mountedBefore) {
            std::lock_guard lock(mutex_);
            mountedFor_[helper.mediaSequenceOf(name)] = caller.uid;
        }
        return status;
    });
}

DaemonCodeReply LinuxDriveMountBackend::unmountVolume(const std::string& name, bool force, bool wholeDisk,
                                                      const DriveMountCaller& caller) {
    return run(name, caller.uid, [&](MountHelper& helper, auto refuse) {
        if (caller.uid != 0 && !helper.isRemovable(name)) {
            if (auto foreign = foreignMount(helper, name, wholeDisk, caller.uid); !foreign.empty()) {
                return refuse(foreign + " was not mounted for you");
            }
        }
        return helper.unmount(name, force ? UnmountForce::Yes : UnmountForce::No,
                              wholeDisk ? UnmountScope::WholeDisk : UnmountScope::Volume);
    });
}

DaemonCodeReply LinuxDriveMountBackend::ejectDisk(const std::string& name, const DriveMountCaller& caller) {
    return run(name, caller.uid, [&](MountHelper& helper, auto refuse) {
        const std::string medium = helper.mediaSequenceOf(name);
        if (caller.uid != 0 && !helper.isRemovable(name)) {
            if (auto foreign = foreignMount(helper, name, true, caller.uid); !foreign.empty()) {
                return refuse(foreign + " was not mounted for you");
            }
            std::lock_guard lock(mutex_);
            auto last = mountedFor_.find(medium);
            bool mountedNow = !helper.mountPointsOf(name, UnmountScope::WholeDisk).empty();
            if (!mountedNow && (last == mountedFor_.end() || last->second != caller.uid)) {
                return refuse(helper.diskOf(name) + " was not mounted for you");
            }
        }
        int status = helper.eject(name);
        if (status == 0) {
            std::lock_guard lock(mutex_);
            mountedFor_.erase(medium);
        }
        return status;
    });
}

}  // namespace harbormind
