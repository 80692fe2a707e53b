#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "daemon/DriveMountBackend.h"

namespace harbormind {

class MountHelper;

// Mounting, unmounting and ejecting for a user on the bus, with the mount helper's own verbs
// (the honest unmount, the busy report, the eject under an exclusive open), one at a time per
// device. The rules:
// - a volume is mounted for the calling uid, in a new folder of their media folder
//   (UserMediaFolder); the caller never names a folder;
// - a volume of an internal disk needs an administrator as well;
// - anyone but root unmounts only volumes mounted in their own media folder, or on removable
//   media, and ejects only removable media or a disk whose volumes were mounted for them
//   (every present mount theirs, and at least one, or the last mount the daemon made on
//   that very medium was for them).
class LinuxDriveMountBackend final : public DriveMountBackend {
public:
    explicit LinuxDriveMountBackend(std::string mediaRoot);

    DaemonCodeReply mountVolume(const std::string& name, const DriveMountCaller& caller) override;
    DaemonCodeReply unmountVolume(const std::string& name, bool force, bool wholeDisk,
                                  const DriveMountCaller& caller) override;
    DaemonCodeReply ejectDisk(const std::string& name, const DriveMountCaller& caller) override;

private:
    // Runs a verb of the helper for `uid` and turns its status and output into the answer.
    template <typename Verb>
    DaemonCodeReply run(const std::string& name, std::uint32_t uid, Verb&& verb);
    // Empty when every mount point is in the caller's media folder; else the first that is not.
    std::string foreignMount(const MountHelper& helper, const std::string& name, bool wholeDisk,
                             std::uint32_t uid) const;

    std::string mediaRoot_;
    std::mutex mutex_;
    std::map<std::string, std::uint32_t> mountedFor_;  // medium ("loop3#1866") -> uid
};

}  // namespace harbormind
