#include "platform/linux/diskevents/LinuxDiskArbitration.h"

#include "platform/linux/diskevents/LinuxDiskArbitrationSession.h"
#include "support/Dispatch.h"
#include "support/Log.h"

namespace harbormind {

LinuxDiskArbitration::LinuxDiskArbitration(std::shared_ptr<LinuxDiskWatcher> watcher,
                                           std::shared_ptr<LinuxDeviceRegistry> registry,
                                           std::shared_ptr<MountRequests> requests)
    : watcher_(std::move(watcher)), registry_(std::move(registry)), requests_(std::move(requests)) {
    // A refused mount is taken away again by force: whoever mounted it is not asked.
    watcher_->setVetoHandler([requests = requests_](const std::string& name) {
        Dispatch::global()->async([requests, name] {
            MountRequests::Answer answer = requests->unmount(name, UnmountForce::Yes, UnmountScope::Volume);
            if (answer.code != 0) {
                Log::warning("Could not unmount the refused volume " + name + ": " + answer.message);
            }
        });
    });
}

std::shared_ptr<DiskArbitrationSession> LinuxDiskArbitration::createSession() {
    return std::make_shared<LinuxDiskArbitrationSession>(watcher_, registry_, requests_);
}

}  // namespace harbormind
