#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include <QPointer>

#include "app/cleaning/CDCleaningServices.h"
#include "app/drives/DMEventMonitorDelegate.h"
#include "drivemodel/DMDriveObjectCategory.h"

class QWidget;

namespace harbormind {
class CDDriveClearWindowController;
class CDJunkClearWindowController;
class DMNewNetworkCloudDrivesWindowController;
}  // namespace harbormind

namespace harbormind {

class BLEncryptionFlow;
class DMAlertPresenter;
class DMConfigurationManager;
class DMDeviceCloneFlow;
class DMDiskToolsFlow;
class DMDeviceCloneWrapper;
class DMCheckDiskWrapper;
class DMDriveObjectProtocol;
class DMDriveOperations;
class DMEventMonitor;
class DMPowerStateActions;
class SleepWakeNotifications;
class DMFirstAidWindowController;

// Turns a user's request to act on a drive into work: checks the preconditions, shows the
// confirmations, runs the drive operations away from the user-interface thread and reports a
// code on the main queue. One dispatcher per main window; the sidebar and detail views share it.
class DMDriveActionManager : public std::enable_shared_from_this<DMDriveActionManager>,
                             public DMEventMonitorDelegate {
public:
    using Drive = std::shared_ptr<DMDriveObjectProtocol>;
    // 0 success, -1 failure (the local manager's busy code for a volume in use); the
    // message is empty except for a failed mount, where it is the system's reason.
    using Completion = std::function<void(int code, std::optional<std::string> error)>;

    DMDriveActionManager(std::shared_ptr<DMDriveOperations> operations, std::shared_ptr<DMAlertPresenter> presenter,
                         std::shared_ptr<DMDeviceCloneWrapper> deviceCloneWrapper = nullptr);

    // Runs action `action` on `drive`; `window` carries the sheets. Codes this application
    // cannot carry out yet, and codes without meaning for the drive's category, do nothing.
    void perform(std::uint8_t action, const Drive& drive, QWidget* window, Completion completion = nullptr);
    // Asked before a local drive is mounted; calls `proceed` when the mount may go on. Used by
    // the USB blocker's white-list check while it is on.
    using MountGuard = std::function<void(const Drive& drive, std::function<void()> proceed)>;
    void setMountGuard(MountGuard guard) { mountGuard_ = std::move(guard); }
    // Asked before a local drive's contents are shown (open, drive clean); false stops the
    // action, the guard having told the user why. Used by the USB blocker while it is on.
    using LoadGuard = std::function<bool(const Drive& drive)>;
    void setLoadGuard(LoadGuard guard) { loadGuard_ = std::move(guard); }

    // Whether `perform` does something for this code and category.
    bool isActionAvailable(std::uint8_t action, DMDriveObjectCategory category) const;

    // Called by the unlock window once a drive is unlocked: opens it when the setting asks
    // for it and the drive came up mounted. `done` learns on the main queue whether it opened.
    void driveUnlocked(const Drive& drive, std::function<void(bool opened)> done = nullptr);

    // "Unmount All" of the sidebar: every external root drive of the local manager.
    void unmountAllExternalDrives();
    // Runs `action` on every network drive, in the network manager's order, without a window.
    void performOnAllNetworkDrives(std::uint8_t action);

    static constexpr double ntfsFirstCheckDelay = 1.5;
    static constexpr double ntfsSecondCheckDelay = 3.0;
    // The maker's page that explains checking an NTFS disk before opening it read-write.
    static constexpr const char* ntfsHelpURL = "https://www.kestrane.com/harbormind/help/ntfs#check-disk";

    // The managers the cleaning windows work with (the shared ones on the current platform
    // unless set).
    void setCleaningServices(CDCleaningServices services) { cleaning_ = std::move(services); }
    // The one junk clean and the one drive clear window, while open.
    CDJunkClearWindowController* junkClearWindowController() const;
    CDDriveClearWindowController* driverClearWindowController() const;
    // The editor of a saved network drive, while open.
    DMNewNetworkCloudDrivesWindowController* editNetworkDriveWindowController() const;

    // Follows sleep and wake from now on and runs the automatic actions `configuration` asks for.
    void startEventMonitor(SleepWakeNotifications* notifications, DMConfigurationManager& configuration);
    DMEventMonitor* eventMonitor() const { return eventMonitor_.get(); }
    void powerStateChanged(bool isSleep, std::function<void()> done) override;

    const std::shared_ptr<DMDriveOperations>& operations() const { return operations_; }
    // First Aid: the runner made with the dispatcher, and the sheet of the latest check.
    const std::shared_ptr<DMCheckDiskWrapper>& checkWarapper() const { return checkWarapper_; }
    const std::shared_ptr<DMFirstAidWindowController>& checkDiskWindowController() const {
        return checkDiskWindowController_;
    }
    const std::shared_ptr<DMAlertPresenter>& presenter() const { return presenter_; }
    // Clone and resume clone: the picker, the alerts and the progress sheet.
    const std::shared_ptr<DMDeviceCloneFlow>& deviceCloneFlow() const { return deviceCloneFlow_; }
    // Unlock and encrypt: the unlock window, the encryption alert, wizard and progress window.
    const std::shared_ptr<BLEncryptionFlow>& encryptionFlow() const { return encryptionFlow_; }
    const std::shared_ptr<DMDiskToolsFlow>& diskToolsFlow() const { return diskToolsFlow_; }

private:
    void open(const Drive& drive, QWidget* window, Completion completion);
    void lock(const Drive& drive, QWidget* window, Completion completion);
    void mount(const Drive& drive, QWidget* window, Completion completion);
    void openJunkClean(QWidget* window);
    void openDriveClean(const Drive& drive, QWidget* window);
    CDCleaningServices& cleaning();
    void unmount(const Drive& drive, QWidget* window, Completion completion);
    void eject(const Drive& drive, QWidget* window, Completion completion);
    void offerForcedUnmount(const Drive& drive, const std::string& driveName, const std::string& reason,
                            QWidget* window, Completion completion);
    void showFailure(const char* titleFormat, const std::string& driveName, const std::string& reason, QWidget* window);
    void performNetwork(std::uint8_t action, const Drive& drive, QWidget* window, Completion completion);
    void checkNtfsAccess(const Drive& drive, QWidget* window, Completion completion, bool afterRemount);
    void showMountError(int code, QWidget* window);
    void showReadOnlyAlert(const std::string& driveName, QWidget* window);
    void firstAid(const Drive& drive, QWidget* window);
    void openFirstAid(const Drive& drive, bool repair, QWidget* window);

    // Runs `work` on the background queue, then `then` with its result on the main queue.
    template <typename Result>
    void inBackground(std::function<Result()> work, std::function<void(Result)> then);

    std::shared_ptr<DMDriveOperations> operations_;
    std::shared_ptr<DMAlertPresenter> presenter_;
    MountGuard mountGuard_;
    LoadGuard loadGuard_;
    std::shared_ptr<DMDeviceCloneFlow> deviceCloneFlow_;
    std::shared_ptr<BLEncryptionFlow> encryptionFlow_;
    std::shared_ptr<DMDiskToolsFlow> diskToolsFlow_;
    std::optional<CDCleaningServices> cleaning_;
    QPointer<CDJunkClearWindowController> junkClearWindowController_;
    QPointer<CDDriveClearWindowController> driverClearWindowController_;
    QPointer<DMNewNetworkCloudDrivesWindowController> editNetworkDriveWindowController_;
    std::shared_ptr<DMEventMonitor> eventMonitor_;
    std::shared_ptr<DMPowerStateActions> powerStateActions_;
    std::shared_ptr<DMFirstAidWindowController> checkDiskWindowController_;
    std::shared_ptr<DMCheckDiskWrapper> checkWarapper_;
};

}  // namespace harbormind
