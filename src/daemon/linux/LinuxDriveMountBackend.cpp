#include "daemon/linux/LinuxDriveMountBackend.h"

#include <sstream>

#include "daemon/linux/LoopImageAttacher.h"
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

CodeResult refused(const std::string& name, std::uint32_t uid, const std::string& why) {
    Log::warning("refused " + name + " to uid " + std::to_string(uid) + ": " + why);
    return {DriveMountBackend::notPermitted, why};
}

bool permitted(const MountRequirement& requirement, const DriveMountCaller& caller) {
    for (DaemonAction action : requirement.actions) {
        if (!caller.may(action)) {
            return false;
        }
    }
    return true;
}

}  // namespace

LinuxDriveMountBackend::LinuxDriveMountBackend(std::string mediaRoot, std::shared_ptr<const LoopImageOwners> loops)
    : mediaRoot_(std::move(mediaRoot)), loops_(std::move(loops)) {}

template <typename Need, typename Verb>
CodeResult LinuxDriveMountBackend::run(const std::string& name, const DriveMountCaller& caller, Need&& need,
                                            Verb&& verb) {
    auto owner = MountOwner::ofUid(caller.uid);
    if (!owner) {
        return refused(name, caller.uid, "uid " + std::to_string(caller.uid) + " has no account here");
    }
    std::ostringstream out;
    std::ostringstream err;
    MountHelper helper(*owner, mediaRoot_, out, err);
    const MountRequirement asked = need(helper);
    if (!permitted(asked, caller)) {
        return refused(name, caller.uid, asked.refusal);
    }
    auto held = LinuxDeviceLocks::hold(name);
    // The device may have changed while the caller was asked (another mount, another image).
    if (const MountRequirement now = need(helper); now != asked && !permitted(now, caller)) {
        return refused(name, caller.uid, now.refusal);
    }
    int status = verb(helper);
    if (status == 0) {
        return {done, lastLine(out.str())};
    }
    std::string message = lastLine(err.str());
    return {status == MountHelper::busyStatus ? busy : failed,
            message.empty() ? "failed (status " + std::to_string(status) + ")" : message};
}

MediumFacts LinuxDriveMountBackend::factsOf(const MountHelper& helper, const std::string& name,
                                           std::uint32_t uid) const {
    MediumFacts medium;
    medium.disk = helper.diskOf(name);
    medium.loop = medium.disk.rfind("loop", 0) == 0;
    medium.attachedByCaller = medium.loop && loops_->ownerOf(medium.disk) == uid;
    medium.removable = helper.isRemovable(name);
    medium.internal = helper.isInternal(name);
    return medium;
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

MountRequirement LinuxDriveMountBackend::ejectNeeds(const MountHelper& helper, const std::string& name,
                                                    std::uint32_t uid) {
    bool lastMountTheirs = false;
    {
        std::lock_guard lock(mutex_);
        auto last = mountedFor_.find(helper.mediaSequenceOf(name));
        lastMountTheirs = last != mountedFor_.end() && last->second == uid;
    }
    return MountRequirements::toEject(factsOf(helper, name, uid), foreignMount(helper, name, true, uid),
                                      !helper.mountPointsOf(name, UnmountScope::WholeDisk).empty(), lastMountTheirs);
}

std::string LinuxDriveMountBackend::mountRefusal(const std::string& name, const DriveMountCaller& caller) {
    auto owner = MountOwner::ofUid(caller.uid);
    if (!owner) {
        return "uid " + std::to_string(caller.uid) + " has no account here";
    }
    std::ostringstream ignored;
    MountHelper helper(*owner, mediaRoot_, ignored, ignored);
    MountRequirement needed = MountRequirements::toMount(factsOf(helper, name, caller.uid), name);
    return permitted(needed, caller) ? std::string() : needed.refusal;
}

CodeResult LinuxDriveMountBackend::mountVolume(const std::string& name, const DriveMountCaller& caller) {
    return run(
        name, caller, [&](const MountHelper& helper) {
            return MountRequirements::toMount(factsOf(helper, name, caller.uid), name);
        },
        [&](MountHelper& helper) {
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

CodeResult LinuxDriveMountBackend::unmountVolume(const std::string& name, bool force, bool wholeDisk,
                                                      const DriveMountCaller& caller) {
    return run(
        name, caller, [&](const MountHelper& helper) {
            return MountRequirements::toUnmount(factsOf(helper, name, caller.uid),
                                                foreignMount(helper, name, wholeDisk, caller.uid));
        },
        [&](MountHelper& helper) {
            return helper.unmount(name, force ? UnmountForce::Yes : UnmountForce::No,
                                  wholeDisk ? UnmountScope::WholeDisk : UnmountScope::Volume);
        });
}

CodeResult LinuxDriveMountBackend::ejectDisk(const std::string& name, const DriveMountCaller& caller) {
    return run(
        name, caller, [&](const MountHelper& helper) { return ejectNeeds(helper, name, caller.uid); },
        [&](MountHelper& helper) {
            const std::string medium = helper.mediaSequenceOf(name);
            const std::string disk = helper.diskOf(name);
            int status = helper.eject(name);
            if (status == 0) {
                std::lock_guard lock(mutex_);
                mountedFor_.erase(medium);
                if (disk.rfind("loop", 0) == 0) {
                    loops_->forget(disk);
                }
            }
            return status;
        });
}

CodeResult LinuxDriveMountBackend::attachImage(const DaemonFileDescriptor& image, bool readOnly,
                                                    const DriveMountCaller& caller) {
    std::string problem;
    auto attached = LoopImageAttacher::attach(image.get(), readOnly, problem);
    if (!attached) {
        Log::warning("no disk image attached for uid " + std::to_string(caller.uid) + ": " + problem);
        return {failed, problem};
    }
    // A loop device nobody recorded is an administrator's: the image is not left so.
    if (!loops_->record(attached->name, attached->diskSequence, caller.uid)) {
        LoopImageAttacher::detach(attached->name);
        return {failed, "the daemon could not record whose " + attached->name + " is"};
    }
    Log::info("attached a disk image as " + attached->name + " for uid " + std::to_string(caller.uid) +
              (readOnly ? " (read-only)" : ""));
    return {done, attached->name};
}

}  // namespace harbormind
