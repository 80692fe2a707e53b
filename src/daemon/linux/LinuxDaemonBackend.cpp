#include "daemon/linux/LinuxDaemonBackend.h"

#include "daemon/linux/LinuxDiskToolsService.h"

#include "daemon/linux/LinuxCheckDiskService.h"
#include "daemon/linux/LinuxBitLockerService.h"
#include "daemon/linux/LinuxDeviceCloneService.h"
#include "daemon/linux/LinuxDriveMountBackend.h"
#include "daemon/linux/LinuxNtfsService.h"
#include "daemon/linux/LinuxUSBBlockerService.h"
#include "support/SerialQueue.h"

namespace harbormind {

LinuxDaemonBackend::LinuxDaemonBackend(std::string mediaRoot, std::string luksHeaderFolder,
                                       unsigned luksIterationMilliseconds, std::string usbAgentUnit,
                                       std::string stateFolder, UpdateInstallSettings updates)
    : ntfsPaths_{"/proc", mediaRoot},
      loops_(std::make_shared<LoopImageOwners>(stateFolder + "/loop-images")),
      driveMount_(std::make_shared<LinuxDriveMountBackend>(std::move(mediaRoot), loops_)),
      luks_(std::make_shared<LuksServiceShared>(std::move(luksHeaderFolder), luksIterationMilliseconds)),
      usbAgentUnit_(std::move(usbAgentUnit)),
      updates_(std::move(updates)) {}

CodeResult LinuxDaemonBackend::installUpdate(const DaemonFileDescriptor& package,
                                                  const DaemonFileDescriptor& signature) {
    return updates_.install(package.get(), signature.get());
}

std::shared_ptr<DMBitLockerServerProtocol> LinuxDaemonBackend::bitLocker(std::shared_ptr<DMBitLockerAppProtocol>) {
    return std::make_shared<LinuxBitLockerService>(
        std::shared_ptr<const EncryptedVolumeAccess>(luks_, &luks_->volumes));
}

std::shared_ptr<DMLuksServerProtocol> LinuxDaemonBackend::luks(std::shared_ptr<DMBitLockerAppProtocol> callbacks,
                                                               const CallerIdentity& caller) {
    return std::make_shared<LinuxLuksService>(luks_, std::move(callbacks), caller);
}

std::shared_ptr<DMNtfsServerProtocol> LinuxDaemonBackend::ntfs(const CallerIdentity& caller) {
    return std::make_shared<LinuxNtfsService>(caller, ntfsPaths_);
}

std::shared_ptr<CheckDiskBackend> LinuxDaemonBackend::checkDisk() {
    return std::make_shared<LinuxCheckDiskService>();
}

std::shared_ptr<DMDeviceCloneServerProtocol> LinuxDaemonBackend::deviceClone(
    std::shared_ptr<DMDeviceCloneAppProtocol> callbacks) {
    return std::make_shared<LinuxDeviceCloneService>(cloneEngine_, std::move(callbacks));
}

std::shared_ptr<DMUSBBlockerServerProtocol> LinuxDaemonBackend::usbBlocker(const CallerIdentity& caller) {
    return std::make_shared<LinuxUSBBlockerService>(usbWarden_, caller.uid, usbAgentUnit_);
}

std::optional<std::string> LinuxDaemonBackend::mountRefusal(const std::string& name) {
    return usbWarden_->mountRefusal(name);
}

void LinuxDaemonBackend::configureClone(const std::string& mapsFolder) {
    clone::CloneOptions options;
    options.stateFolder = mapsFolder;
    cloneEngine_ = std::make_shared<clone::CloneEngine>(std::move(options));
}

void LinuxDaemonBackend::configureUSBWarden(LinuxUSBWarden::Options options) {
    if (usbWardenSweep_) {
        usbWardenSweep_->invalidate();
    }
    usbWarden_ = std::make_shared<LinuxUSBWarden>(std::move(options));
    std::weak_ptr<LinuxUSBWarden> warden = usbWarden_;
    usbWardenSweep_ = Timer::scheduled(SerialQueue::create("usb-warden-sweep"), seconds(1), TimerRepeat::Repeating,
                                       [warden] {
                                           if (auto living = warden.lock()) {
                                               living->sweep();
                                           }
                                       });
}

std::shared_ptr<DMDiskToolsServerProtocol> LinuxDaemonBackend::diskTools(const DriveMountCaller& caller) {
    return std::make_shared<LinuxDiskToolsService>(
        caller, [loops = loops_](const std::string& loop) { return loops->ownerOf(loop); },
        std::make_shared<SystemDiskToolRunner>(), imageJobs_);
}

}  // namespace harbormind
