#pragma once

#include <string>

#include "daemon/DaemonBackend.h"
#include "daemon/linux/DiskImageJobs.h"
#include "daemon/linux/LinuxLuksService.h"
#include "daemon/linux/LinuxNtfsService.h"
#include "daemon/linux/LinuxUSBWarden.h"
#include "daemon/linux/LoopImageOwners.h"
#include "daemon/linux/UpdatePackageInstaller.h"
#include "engines/clone/CloneEngine.h"
#include "support/Timer.h"

namespace harbormind {

// The daemon's work on this machine, one service object per call. A service not built yet
// is its refusing stand-in; a new backend replaces it here.
class LinuxDaemonBackend final : public DaemonBackend {
public:
    // `mediaRoot` is where users' media folders are made ("/media"); `luksHeaderFolder`
    // where detached LUKS2 headers are kept; `luksIterationMilliseconds` how long a key
    // slot's key derivation takes (0: cryptsetup's choice); `usbAgentUnit` where the USB
    // blocker agent's unit is installed (empty: the system's place); `stateFolder` where the
    // daemon keeps what lasts until the machine restarts (who attached which disk image).
    explicit LinuxDaemonBackend(std::string mediaRoot = "/media",
                                std::string luksHeaderFolder = "/var/lib/kestrane/luks",
                                unsigned luksIterationMilliseconds = 0, std::string usbAgentUnit = {},
                                std::string stateFolder = "/run/kestrane/drivemanagerd",
                                UpdateInstallSettings updates = {});

    std::shared_ptr<DMBitLockerServerProtocol> bitLocker(std::shared_ptr<DMBitLockerAppProtocol> callbacks) override;
    std::shared_ptr<DMNtfsServerProtocol> ntfs(const CallerIdentity& caller) override;
    std::shared_ptr<CheckDiskBackend> checkDisk() override;
    std::shared_ptr<DMDeviceCloneServerProtocol> deviceClone(
        std::shared_ptr<DMDeviceCloneAppProtocol> callbacks) override;
    std::shared_ptr<DMUSBBlockerServerProtocol> usbBlocker(const CallerIdentity& caller) override;
    // One for the daemon's life: it remembers whom it mounted each medium for.
    std::shared_ptr<DriveMountBackend> driveMount() override { return driveMount_; }
    std::shared_ptr<DMLuksServerProtocol> luks(std::shared_ptr<DMBitLockerAppProtocol> callbacks,
                                               const CallerIdentity& caller) override;
    CodeResult installUpdate(const DaemonFileDescriptor& package, const DaemonFileDescriptor& signature) override;
    std::optional<std::string> mountRefusal(const std::string& name) override;
    std::shared_ptr<DMDiskToolsServerProtocol> diskTools(const DriveMountCaller& caller) override;

    // Where "USB Warden" keeps its lists and state, and which disks it guards; starts its
    // sweep of the mount table, once a second.
    void configureUSBWarden(LinuxUSBWarden::Options options);
    // Where the maps of interrupted clones are kept; before any clone runs.
    void configureClone(const std::string& mapsFolder);
    DiskImageJobs& imageJobs() { return *imageJobs_; }

private:
    NtfsServicePaths ntfsPaths_;
    std::shared_ptr<const LoopImageOwners> loops_;
    // One engine for the daemon's life: it runs one clone at a time and, when the daemon
    // ends (SIGTERM), stops it and saves its map.
    std::shared_ptr<clone::CloneEngine> cloneEngine_ = std::make_shared<clone::CloneEngine>();
    std::shared_ptr<DriveMountBackend> driveMount_;
    // For the daemon's life: the running encryption jobs and the kept headers.
    std::shared_ptr<LuksServiceShared> luks_;
    std::string usbAgentUnit_;
    UpdatePackageInstaller updates_;
    // For the daemon's life: the Warden remembers the disks a user allowed once.
    std::shared_ptr<LinuxUSBWarden> usbWarden_ = std::make_shared<LinuxUSBWarden>(LinuxUSBWarden::Options{});
    std::shared_ptr<Timer> usbWardenSweep_;
    // For the daemon's life: each user's disk image job; ending the daemon stops them.
    std::shared_ptr<DiskImageJobs> imageJobs_ = std::make_shared<DiskImageJobs>();
};

}  // namespace harbormind
