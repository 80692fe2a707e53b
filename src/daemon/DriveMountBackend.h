#pragma once

#include <functional>
#include <string>

#include "daemon/DaemonAction.h"
#include "support/CodeResult.h"
#include "daemon/DaemonFileDescriptor.h"

namespace harbormind {

// Who a mount, unmount or eject is done for: the uid the bus reported, and whether that
// caller is authorized for a kind of action (asked for the one the device needs).
struct DriveMountCaller {
    std::uint32_t uid = 0;
    std::function<bool(DaemonAction)> authorizedFor;

    bool may(DaemonAction action) const { return authorizedFor && authorizedFor(action); }
};

// Mounting, unmounting and ejecting for the calling user. The device name has been checked
// (a block device the kernel lists); the backend decides where the volume goes (the caller
// never chooses a folder), which action each device needs, and whose volumes the caller may
// unmount or eject. Answers: 0 done, `busy` when something still uses the volume or the
// disk, `notPermitted` when the caller may not do this, `failed` otherwise; the message says
// what happened ("Volume Photos on loop3p1 mounted at /media/ann/Photos") or why not.
class DriveMountBackend {
public:
    static constexpr std::int64_t done = 0;
    static constexpr std::int64_t failed = 1;
    static constexpr std::int64_t notPermitted = 13;
    static constexpr std::int64_t busy = 16;

    virtual ~DriveMountBackend() = default;
    virtual CodeResult mountVolume(const std::string& name, const DriveMountCaller& caller) = 0;
    virtual CodeResult unmountVolume(const std::string& name, bool force, bool wholeDisk,
                                          const DriveMountCaller& caller) = 0;
    virtual CodeResult ejectDisk(const std::string& name, const DriveMountCaller& caller) = 0;
    // Attaches the disk image the caller opened as a loop device recorded as theirs; on 0 the
    // message is the loop device's name ("loop7").
    virtual CodeResult attachImage(const DaemonFileDescriptor& /*image*/, bool /*readOnly*/,
                                        const DriveMountCaller& /*caller*/) {
        return {failed, "this daemon does not attach disk images"};
    }
    // Why the caller may not mount the volume (empty when they may), for other services that
    // mount for the caller (NTFS).
    virtual std::string mountRefusal(const std::string& /*name*/, const DriveMountCaller& caller) {
        return caller.may(DaemonAction::mountRemovable) ? std::string() : "not authorized";
    }
};

}  // namespace harbormind
