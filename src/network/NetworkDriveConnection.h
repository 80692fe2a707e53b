#pragma once

#include <memory>

#include "drivemodel/DMCompletion.h"
#include "platform/NetworkMounter.h"

namespace harbormind {

class DMNetworkDriveObject;

// Connects one network drive: first without the system's dialogs, then, when that fails for
// another reason than a refused login or the user's cancel, once more with them. The retry
// is made only while `owner` (the manager that asked) is alive. Completes on a global queue.
class NetworkDriveConnection {
public:
    static void start(std::weak_ptr<const void> owner, NetworkMounter& mounter,
                      const std::shared_ptr<DMNetworkDriveObject>& drive, bool allowUserInterface,
                      DMCompletion completion);

private:
    static void finished(const std::shared_ptr<DMNetworkDriveObject>& drive, const NetworkMountResult& result,
                         const DMCompletion& completion);
    static void finishRetry(const std::shared_ptr<DMNetworkDriveObject>& drive, const NetworkMountResult& result,
                            const DMCompletion& completion);
};

}  // namespace harbormind
