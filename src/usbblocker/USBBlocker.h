#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <shared_mutex>
#include <string>
#include <vector>

#include "platform/DADisk.h"
#include "platform/DADissenter.h"
#include "platform/DiskArbitrationSession.h"
#include "platform/SettingsStore.h"
#include "support/DispatchQueue.h"
#include "usbblocker/AllowDiskMountModel.h"
#include "usbblocker/DriveTools.h"
#include "usbblocker/USBDiskList.h"
#include "usbblocker/USBlockerDelegate.h"

namespace harbormind {

// Keeps unlisted external storage from mounting. It answers every mount request of the disk
// arbitration session from its mode and the white and black lists; in the asking mode it
// refuses and holds every volume of a new disk, asks its delegate once per whole disk and
// mounts the held volumes itself when the user allows the disk.
//
// Callbacks arrive on a concurrent queue: `disks` and `mountAnnal` change only under one lock,
// and the check-then-hold of a new disk is one step, so one disk gives exactly one question.
class USBBlocker {
public:
    static constexpr const char* modelKey = "model";
    static constexpr const char* refusalText = "Denied";

    // Made on first use over the current platform.
    static USBBlocker& shared();

    // Construction reads the mode from `settings` (may be null), loads the lists and starts.
    USBBlocker(std::shared_ptr<DiskArbitrationSession> session, USBDiskList& diskList, DriveTools& driveTools,
               SettingsStore* settings, std::shared_ptr<DispatchQueue> callbackQueue,
               std::shared_ptr<DispatchQueue> delegateQueue);
    ~USBBlocker();
    USBBlocker(const USBBlocker&) = delete;
    USBBlocker& operator=(const USBBlocker&) = delete;

    void setDelegate(std::weak_ptr<USBlockerDelegate> delegate);
    void start();

    void addWhiteList(const std::string& name, std::int64_t size);
    void allowMount(const DADisk& disk);
    void forget(const DADisk& disk);

    AllowDiskMountModel model() const { return model_; }
    // The one refusal the engine gives.
    static DADissenter refusal();
    static bool isGuardedProtocol(const std::string& deviceProtocol);

    // The query state of one whole disk, for the host and for tests.
    std::vector<DADisk> heldDisks(const std::string& wholeDiskKey) const;
    std::optional<bool> mountAnnalValue(const std::string& wholeDiskKey) const;

private:
    // What the session's callbacks reach; emptied when the engine goes, so a late callback
    // finds no engine and approves.
    struct Context {
        std::shared_mutex mutex;
        USBBlocker* engine = nullptr;
    };

    std::optional<DADissenter> mountApproval(const DADisk& disk);
    std::optional<DADissenter> queryDecision(const DADisk& disk, const DiskDescription& description);
    std::optional<DADissenter> whiteListOnlyDecision(const DADisk& disk, const DiskDescription& description);
    std::optional<DADissenter> unmountApproval(const DADisk& disk);
    void diskAppeared(const DADisk& disk);
    void diskDisappeared(const DADisk& disk);
    void askDelegate(const DADisk& disk);

    mutable std::mutex delegateMutex_;
    std::weak_ptr<USBlockerDelegate> delegate_;
    std::shared_ptr<DiskArbitrationSession> daSession_;
    USBDiskList& diskList_;
    DriveTools& driveTools_;
    std::shared_ptr<DispatchQueue> callbackQueue_;
    std::shared_ptr<DispatchQueue> delegateQueue_;

    mutable std::mutex stateMutex_;
    std::map<std::string, std::vector<DADisk>> disks_;
    std::map<std::string, bool> mountAnnal_;

    AllowDiskMountModel model_ = AllowDiskMountModel::PopupsQuery;
    std::shared_ptr<Context> context_;
};

}  // namespace harbormind
