#pragma once

#include <functional>
#include <memory>
#include <string>

#include "drivemodel/DMCompletion.h"
#include "platform/NetworkMounter.h"
#include "support/Clock.h"

namespace harbormind {

class DMNetworkDriveObject;

// Disconnects one network drive once every file written to it has reached the server:
// unmounting while the file system still holds written files would leave them on this
// machine only. Looks again every quarter second, on a global queue, while `owner` (the
// manager that asked) is alive; completes with -1 once it is gone.
class NetworkDriveDisconnection : public std::enable_shared_from_this<NetworkDriveDisconnection> {
public:
    // The time allowed for written files, and a report, each time the number of files still
    // on their way changes.
    struct Options {
        Clock::Duration writesLimit = seconds(120);
        std::function<void(int pendingFiles)> waiting;
    };

    static void start(std::weak_ptr<const void> owner, NetworkMounter& mounter,
                      std::shared_ptr<DMNetworkDriveObject> drive, std::string mountPoint, Options options,
                      DMCompletion completion);

    NetworkDriveDisconnection(std::weak_ptr<const void> owner, NetworkMounter& mounter,
                              std::shared_ptr<DMNetworkDriveObject> drive, std::string mountPoint, Options options,
                              DMCompletion completion);

private:
    void lookAgain(Clock::Duration delay);
    void waitForWrites();
    void finish(int status);

    const std::weak_ptr<const void> owner_;
    NetworkMounter& mounter_;
    const std::shared_ptr<DMNetworkDriveObject> drive_;
    const std::string mountPoint_;
    const Clock::TimePoint deadline_;
    const Options options_;
    const DMCompletion completion_;
    int lastReported_ = 0;
};

}  // namespace harbormind
