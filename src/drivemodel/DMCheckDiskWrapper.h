#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "drivemodel/DMCheckDiskShellCommand.h"
#include "drivemodel/DMCheckDiskWrapperDelegate.h"
#include "xpc/DMCheckDiskAppProtocol.h"
#include "xpc/XPCDuplexObject.h"

namespace harbormind {

class DMBitLockerWrapper;
class DMLocalDriveObject;

// First Aid's client of the daemon's check-disk service: builds the command line for a
// drive, hands it to the daemon, and forwards the streamed output to its delegate. It is
// the exported object answering the service's callbacks.
class DMCheckDiskWrapper : public DMCheckDiskAppProtocol,
                           public std::enable_shared_from_this<DMCheckDiskWrapper> {
public:
    static std::shared_ptr<DMCheckDiskWrapper> create();

    // Checks (or checks and repairs) the drive; returns once the daemon has the command.
    // NTFS and BitLocker drives are unmounted first (up to 60 one-second checks).
    void check(const std::shared_ptr<DMLocalDriveObject>& drive, bool repair);
    // Hands one First Aid command line (built by `shell()`) to the daemon.
    void runCommand(const std::string& commandLine);
    // The command line for the drive, none when it has no plain device name.
    std::optional<std::string> commandFor(const std::shared_ptr<DMLocalDriveObject>& drive, bool repair);

    std::shared_ptr<DMLocalDriveObject> localDriveObj() const;
    const DMCheckDiskShellCommand& shell() const { return shell_; }
    std::shared_ptr<DMCheckDiskWrapperDelegate> delegate() const;
    void setDelegate(std::weak_ptr<DMCheckDiskWrapperDelegate> delegate);
    const std::shared_ptr<DMBitLockerWrapper>& bitlockerWapper() const { return bitlockerWapper_; }
    XPCDuplexObject& checkDiskXPCObj();

    // The stream from the daemon. At checkEnd the drive is mounted again.
    void updateUIWithChekcInfo(const std::string& info, std::int64_t checkStatus) override;

    static constexpr int unmountChecks = 60;

protected:
    DMCheckDiskWrapper();

private:
    void waitForUnmount(const std::shared_ptr<DMLocalDriveObject>& drive);
    // Ends a run that cannot go on with checkStop, once.
    void notStarted();

    mutable std::mutex mutex_;
    std::shared_ptr<DMLocalDriveObject> localDriveObj_;
    DMCheckDiskShellCommand shell_;
    std::weak_ptr<DMCheckDiskWrapperDelegate> delegate_;
    std::shared_ptr<DMBitLockerWrapper> bitlockerWapper_;
    std::unique_ptr<XPCDuplexObject> checkDiskXPCObj_;
    std::atomic<bool> runEnded_{true};
};

}  // namespace harbormind
