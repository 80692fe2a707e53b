#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "daemon/DriveMountBackend.h"
#include "daemon/linux/LoopImageOwners.h"

namespace harbormind {

class MountHelper;

// Mounting, unmounting and ejecting for a user on the bus, with the mount helper's own verbs
// (the honest unmount, the busy report, the eject under an exclusive open), one at a time per
// device. The rules, each a polkit action of its own:
// - a volume is mounted for the calling uid, in a new folder of their media folder
//   (UserMediaFolder); the caller never names a folder. Removable or external media and
//   images the caller attached need `mountRemovable`, a disk of the computer `mountSystem`,
//   an image attached by anyone else (root included) `loopOthers`;
// - the caller's own mounts are theirs to unmount; other mounts on removable media and on
//   an image the caller attached need `eject`, on another's image `loopOthers`, on any other
//   disk `unmountOthers`;
// - ejecting removable media or the caller's own image needs `eject`; another's image
//   `loopOthers`; any other disk `eject`, and `unmountOthers` as well unless its volumes were
//   mounted for the caller (every present mount theirs, and at least one, or the last mount
//   the daemon made on that very medium was for them).
// Authorization is asked before the device's lock is taken, so a prompt nobody answers never
// holds up another caller of the same device.
class LinuxDriveMountBackend final : public DriveMountBackend {
public:
    LinuxDriveMountBackend(std::string mediaRoot, std::shared_ptr<const LoopImageOwners> loops);

    DaemonCodeReply mountVolume(const std::string& name, const DriveMountCaller& caller) override;
    DaemonCodeReply unmountVolume(const std::string& name, bool force, bool wholeDisk,
                                  const DriveMountCaller& caller) override;
    DaemonCodeReply ejectDisk(const std::string& name, const DriveMountCaller& caller) override;
    // The image becomes the caller's loop device: only they use it without an administrator.
    DaemonCodeReply attachImage(const DaemonFileDescriptor& image, bool readOnly,
                                const DriveMountCaller& caller) override;
    std::string mountRefusal(const std::string& name, const DriveMountCaller& caller) override;

    // What a call needs: the actions to be authorized for, and what the caller is told otherwise.
    struct Requirement {
        std::vector<DaemonAction> actions;
        std::string refusal;
        bool operator==(const Requirement&) const = default;
    };

private:
    template <typename Need, typename Verb>
    DaemonCodeReply run(const std::string& name, const DriveMountCaller& caller, Need&& need, Verb&& verb);
    Requirement mountNeeds(const MountHelper& helper, const std::string& name, std::uint32_t uid) const;
    Requirement unmountNeeds(const MountHelper& helper, const std::string& name, bool wholeDisk,
                             std::uint32_t uid) const;
    Requirement ejectNeeds(const MountHelper& helper, const std::string& name, std::uint32_t uid);
    // The action that another's mounts on this medium, or ejecting it, need.
    DaemonAction mediumAction(const MountHelper& helper, const std::string& name, std::uint32_t uid) const;
    bool isLoop(const MountHelper& helper, const std::string& name) const;
    // Empty when every mount point is in the caller's media folder; else the first that is not.
    std::string foreignMount(const MountHelper& helper, const std::string& name, bool wholeDisk,
                             std::uint32_t uid) const;

    std::string mediaRoot_;
    std::shared_ptr<const LoopImageOwners> loops_;
    std::mutex mutex_;
    std::map<std::string, std::uint32_t> mountedFor_;  // medium ("loop3#1866") -> uid
};

}  // namespace harbormind
