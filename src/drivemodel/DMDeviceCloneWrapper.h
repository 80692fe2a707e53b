#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "drivemodel/DMDeviceCloneWrapperDelegate.h"
#include "xpc/DMDeviceCloneAppProtocol.h"
#include "xpc/XPCCodeAnswer.h"
#include "xpc/XPCDuplexObject.h"

namespace harbormind {

// The client of the daemon's device-clone service. Devices are named by their kernel name
// ("sdb"), and every request sends the node "/dev/" + name; a text that is no device name is
// refused without asking. The wrapper is also the exported object that receives the copy's
// progress and hands it to its delegate.
class DMDeviceCloneWrapper : public DMDeviceCloneAppProtocol,
                             public std::enable_shared_from_this<DMDeviceCloneWrapper> {
public:
    static std::shared_ptr<DMDeviceCloneWrapper> shared();
    static std::shared_ptr<DMDeviceCloneWrapper> create();

    XPCDuplexObject& deviceCloneXPCObj();

    void setDelegate(std::weak_ptr<DMDeviceCloneWrapperDelegate> delegate);
    std::shared_ptr<DMDeviceCloneWrapperDelegate> delegate() const;

    // A DMCloneErrorCode raw value; -1 when the daemon gave no answer.
    std::int64_t checkDisk(const std::string& destination, const std::string& source);
    // Sends the request and returns at once; progress arrives through the delegate.
    void clone(const std::string& destination, const std::string& source, bool isCover);
    // The pair check with the daemon's reason; code -1 and an empty reason when the daemon
    // gave no answer, -1 and why when a name is no device name.
    XPCCodeAnswer checkPair(const std::string& destination, const std::string& source);
    // The clone request, answered once the copy has started (0, with a notice) or was refused
    // (with the reason); -1 and an empty reason when the daemon gave no answer. Progress then
    // arrives through the delegate.
    XPCCodeAnswer startClone(const std::string& destination, const std::string& source, bool isCover);
    // A clone onto `destination` runs in the daemon; false too when the daemon does not answer.
    bool isCloneRunning(const std::string& destination);
    // `strDevice` is "/dev/" followed by the device name.
    bool isCloneInterruptDeviceWithStrDevice(const std::string& strDevice);
    bool isCloneInterrupted(const std::string& destination);
    // The identifier of the source the interrupted clone on `destination` used; empty when none.
    std::string cloneInterruptSource(const std::string& destination);
    void stopCloneWithFlag(bool flag);

    // The service's callback; the reply is always 0.
    void updateProgressWithStatus(std::int64_t status, std::int64_t total, std::int64_t current, std::int64_t error,
                                  XPCIntReply reply) override;
    void cloneEndedWithUnreadableBytes(std::int64_t unreadableBytes, const std::string& reason) override;

    // The pair check opens devices and may take a while.
    static constexpr double checkLimitSeconds = 60;
    // The clone request is answered once the copy has started, which may wait for an
    // administrator to authenticate; past this the daemon's bus gives up as well.
    static constexpr double startLimitSeconds = 610;

protected:
    DMDeviceCloneWrapper() = default;

private:
    mutable std::mutex mutex_;
    std::unique_ptr<XPCDuplexObject> deviceCloneXPCObj_;
    std::weak_ptr<DMDeviceCloneWrapperDelegate> delegate_;
    // The connection of the last clone request, kept open so its progress can come back
    // (the next request replaces it).
    std::shared_ptr<XPCInterface> cloneConnection_;
};

}  // namespace harbormind
