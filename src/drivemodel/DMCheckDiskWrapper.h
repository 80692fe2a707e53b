#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "drivemodel/DMCheckDiskShellCommand.h"
#include "drivemodel/DMCheckDiskWrapperDelegate.h"
#include "drivemodel/DMFirstAidUnmount.h"
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
    // The daemon is asked first whether it will run the check; a refusal ends the run with
    // checkStop and the reason, the drive untouched. A mounted drive is then unmounted (up to
    // 60 one-second looks) and mounted again when the check has ended; one that cannot be
    // unmounted is not checked, and the run ends with checkStop and the reason.
    void check(const std::shared_ptr<DMLocalDriveObject>& drive, bool repair);
    // As check, with the command line `command` makes once the drive is unmounted.
    void check(const std::shared_ptr<DMLocalDriveObject>& drive,
               const std::function<std::optional<std::string>()>& command);
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

    // The stream from the daemon. When the run ends (checkEnd or checkStop), a drive that was
    // unmounted for it is mounted again before the end reaches the delegate.
    void updateUIWithChekcInfo(const std::string& info, std::int64_t checkStatus) override;

    static constexpr int unmountChecks = DMFirstAidUnmount::unmountChecks;

protected:
    DMCheckDiskWrapper();

private:
    // Why the daemon will not run the command (asked before anything is unmounted); none
    // when it will.
    std::optional<std::string> daemonRefusal(const std::string& commandLine);
    // Ends a run that cannot go on with checkStop, once.
    void notStarted();
    // Ends the run once: mounts the drive again when it was unmounted for the check, then
    // hands the last stage to the delegate.
    void end(const std::string& info, std::int64_t checkStatus);
    void forward(const std::string& info, std::int64_t checkStatus);

    mutable std::mutex mutex_;
    std::shared_ptr<DMLocalDriveObject> localDriveObj_;
    DMCheckDiskShellCommand shell_;
    std::weak_ptr<DMCheckDiskWrapperDelegate> delegate_;
    std::shared_ptr<DMBitLockerWrapper> bitlockerWapper_;
    std::unique_ptr<XPCDuplexObject> checkDiskXPCObj_;
    std::shared_ptr<DMFirstAidUnmount> unmount_;
    std::atomic<bool> runEnded_{true};
    std::atomic<std::uint64_t> runNumber_{0};
};

}  // namespace harbormind
