#include "platform/linux/diskevents/LinuxDiskArbitration.h"

#include "platform/linux/diskevents/LinuxDiskArbitrationSession.h"
#include "platform/linux/mounting/LinuxMountHelper.h"
#include "support/Dispatch.h"
#include "support/Log.h"

namespace harbormind {

LinuxDiskArbitration::LinuxDiskArbitration(std::shared_ptr<LinuxDiskWatcher> watcher,
                                           std::shared_ptr<LinuxDeviceRegistry> registry, ProcessLauncher& processes)
    : watcher_(std::move(watcher)),
      registry_(std::move(registry)),
      processes_(processes),
      mountHelper_(LinuxMountHelper::locate(watcher_->paths())) {
    // A refused mount is taken away again by force: whoever mounted it is not asked.
    ProcessLauncher* launcher = &processes_;
    std::string helper = mountHelper_;
    watcher_->setVetoHandler([launcher, helper](const std::string& name) {
        Dispatch::global()->async([launcher, helper, name] {
            ProcessResult result = launcher->run(helper, {"unmount", "--force", name});
            if (!result.launched || result.exitStatus != 0) {
                Log::warning("Could not unmount the refused volume " + name + ": " + result.standardError);
            }
        });
    });
}

std::shared_ptr<DiskArbitrationSession> LinuxDiskArbitration::createSession() {
    return std::make_shared<LinuxDiskArbitrationSession>(watcher_, registry_, processes_, mountHelper_);
}

}  // namespace harbormind
