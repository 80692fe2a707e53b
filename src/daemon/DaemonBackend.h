#pragma once

#include <memory>
#include <optional>
#include <string>

#include "daemon/CallerIdentity.h"
#include "daemon/CheckDiskBackend.h"
#include "daemon/DaemonFileDescriptor.h"
#include "daemon/DriveMountBackend.h"
#include "daemon/RefusingDiskToolsService.h"
#include "daemon/RefusingDriveMountBackend.h"
#include "daemon/RefusingLuksService.h"
#include "xpc/DMBitLockerAppProtocol.h"
#include "xpc/DMBitLockerServerProtocol.h"
#include "xpc/DMDeviceCloneAppProtocol.h"
#include "xpc/DMDeviceCloneServerProtocol.h"
#include "xpc/DMDiskToolsServerProtocol.h"
#include "xpc/DMLuksServerProtocol.h"
#include "xpc/DMNtfsServerProtocol.h"
#include "xpc/DMUSBBlockerServerProtocol.h"

namespace harbormind {

// What does the work behind each service. The daemon asks for a service object per call,
// handing it the caller's callbacks where the service has some; every argument it passes
// has been authorized and checked already. A reply block may be called on any thread, once;
// a service that never calls it leaves the caller to its time limit.
class DaemonBackend {
public:
    virtual ~DaemonBackend() = default;
    virtual std::shared_ptr<DMBitLockerServerProtocol> bitLocker(std::shared_ptr<DMBitLockerAppProtocol> callbacks) = 0;
    // The NTFS service mounts for the caller, so it is told who that is.
    virtual std::shared_ptr<DMNtfsServerProtocol> ntfs(const CallerIdentity& caller) = 0;
    virtual std::shared_ptr<CheckDiskBackend> checkDisk() = 0;
    virtual std::shared_ptr<DMDeviceCloneServerProtocol> deviceClone(
        std::shared_ptr<DMDeviceCloneAppProtocol> callbacks) = 0;
    // For one call of `caller`: USB Warden's wrong passwords count per caller.
    virtual std::shared_ptr<DMUSBBlockerServerProtocol> usbBlocker(const CallerIdentity& caller) = 0;
    // Mounting for the calling user; refused everywhere but on this machine's backend.
    virtual std::shared_ptr<DriveMountBackend> driveMount() { return std::make_shared<RefusingDriveMountBackend>(); }
    // Encrypted volumes of this machine, told who calls (a job's recovery key is for its
    // starter only); it reports progress through the BitLocker application protocol.
    virtual std::shared_ptr<DMLuksServerProtocol> luks(std::shared_ptr<DMBitLockerAppProtocol> /*callbacks*/,
                                                       const CallerIdentity& /*caller*/) {
        return std::make_shared<RefusingLuksService>();
    }
    // Health, erasing and partitions, for the caller (which action a disk needs depends on the
    // disk: the service asks the caller's authorization for it).
    virtual std::shared_ptr<DMDiskToolsServerProtocol> diskTools(const DriveMountCaller& /*caller*/) {
        return std::make_shared<RefusingDiskToolsService>();
    }
    // Installs a signed update from the package and signature files the caller opened.
    virtual CodeResult installUpdate(const DaemonFileDescriptor& /*package*/,
                                          const DaemonFileDescriptor& /*signature*/) {
        return {1, "this daemon installs no updates"};
    }
    // Why the volume `name` may not be mounted by anyone, whatever the caller's rights (the
    // USB blocker's refusal); none when it may.
    virtual std::optional<std::string> mountRefusal(const std::string& /*name*/) { return std::nullopt; }
};

}  // namespace harbormind
