#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "daemon/DriveMountBackend.h"
#include "daemon/MountRequirements.h"
#include "daemon/linux/LoopImageOwners.h"

namespace harbormind {

class MountHelper;

// Mounting, unmounting and ejecting for a user on the bus, with the mount helper's own verbs
// (the honest unmount, the busy report, the eject under an exclusive open), one at a time per
// device. A volume is mounted for the calling uid, in a new folder of their media folder
// (UserMediaFolder); the caller never names a folder. Which polkit action each call needs is
// MountRequirements' rule, from what this backend finds of the medium.
// Authorization is asked before the device's lock is taken, so a prompt nobody answers never
// holds up another caller of the same device.
class LinuxDriveMountBackend final : public DriveMountBackend {
public:
    LinuxDriveMountBackend(std::string mediaRoot, std::shared_ptr<const LoopImageOwners> loops);

    CodeResult mountVolume(const std::string& name, const DriveMountCaller& caller) override;
    CodeResult unmountVolume(const std::string& name, bool force, bool wholeDisk,
                                  const DriveMountCaller& caller) override;
    CodeResult ejectDisk(const std::string& name, const DriveMountCaller& caller) override;
    // The image becomes the caller's loop device: only they use it without an administrator.
    CodeResult attachImage(const DaemonFileDescriptor& image, bool readOnly,
                                const DriveMountCaller& caller) override;
    std::string mountRefusal(const std::string& name, const DriveMountCaller& caller) override;

private:
    template <typename Need, typename Verb>
    CodeResult run(const std::string& name, const DriveMountCaller& caller, Need&& need, Verb&& verb);
    MediumFacts factsOf(const MountHelper& helper, const std::string& name, std::uint32_t uid) const;
    MountRequirement ejectNeeds(const MountHelper& helper, const std::string& name, std::uint32_t uid);
    // Empty when every mount point is in the caller's media folder; else the first that is not.
    std::string foreignMount(const MountHelper& helper, const std::string& name, bool wholeDisk,
                             std::uint32_t uid) const;

    std::string mediaRoot_;
    std::shared_ptr<const LoopImageOwners> loops_;
    std::mutex mutex_;
    std::map<std::string, std::uint32_t> mountedFor_;  // medium ("loop3#1866") -> uid
};

}  // namespace harbormind
