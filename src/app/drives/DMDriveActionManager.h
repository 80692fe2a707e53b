#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/drives/DMActionCompletion.h"
#include "app/drives/DMDriveAction.h"
#include "app/drives/DMEventMonitorDelegate.h"
#include "app/drives/DMMountFlow.h"
#include "drivemodel/DMDriveObjectCategory.h"

class QWidget;

namespace harbormind {

class DMAlertPresenter;
class DMConfigurationManager;
class DMDriveObjectProtocol;
class DMDriveOperations;
class DMDriveWindowFactory;
class DMEventMonitor;
class DMFirstAidFlow;
class DMNetworkDriveFlow;
class DMOpenLockFlow;
class DMPowerStateActions;
class DMUnmountFlow;
class SleepWakeNotifications;

// Turns a user's request to act on a drive into work: checks the preconditions, shows the
// confirmations, runs the drive operations away from the user-interface thread and reports a
// code on the main queue. One dispatcher per main window; the sidebar and detail views share it.
class DMDriveActionManager : public std::enable_shared_from_this<DMDriveActionManager>,
                             public DMEventMonitorDelegate {
public:
    using Drive = std::shared_ptr<DMDriveObjectProtocol>;
    // 0 success, -1 failure (see DMActionCompletion).
    using Completion = DMActionCompletion;

    // `windows` opens the feature windows (encryption, clone, disk tools, cleaning, First
    // Aid, the network drive editor); without one those actions open nothing.
    DMDriveActionManager(std::shared_ptr<DMDriveOperations> operations, std::shared_ptr<DMAlertPresenter> presenter,
                         std::shared_ptr<DMDriveWindowFactory> windows = nullptr);

    // Runs action `action` on `drive`; `window` carries the sheets. Actions this application
    // cannot carry out yet, and actions without meaning for the drive's category, do nothing.
    void perform(DMDriveAction action, const Drive& drive, QWidget* window, Completion completion = nullptr);
    // Asked before a local drive is mounted; calls `proceed` when the mount may go on. Used by
    // the USB blocker's white-list check while it is on.
    using MountGuard = std::function<void(const Drive& drive, std::function<void()> proceed)>;
    void setMountGuard(MountGuard guard) { mountGuard_ = std::move(guard); }
    // Asked before a local drive's contents are shown (open, drive clean); false stops the
    // action, the guard having told the user why. Used by the USB blocker while it is on.
    using LoadGuard = std::function<bool(const Drive& drive)>;
    void setLoadGuard(LoadGuard guard) { loadGuard_ = std::move(guard); }

    // Whether `perform` does something for this code and category.
    bool isActionAvailable(DMDriveAction action, DMDriveObjectCategory category) const;

    // Called by the unlock window once a drive is unlocked: opens it when the setting asks
    // for it and the drive came up mounted. `done` learns on the main queue whether it opened.
    void driveUnlocked(const Drive& drive, std::function<void(bool opened)> done = nullptr);

    // "Unmount All" of the sidebar: every external root drive of the local manager.
    void unmountAllExternalDrives();
    // Runs `action` on every network drive, in the network manager's order, without a window.
    void performOnAllNetworkDrives(DMDriveAction action);

    // When an NTFS volume's access is looked at after a mount, and after a mount again that
    // ignores a hibernation file; the page that explains checking an NTFS disk.
    static constexpr double ntfsFirstCheckDelay = DMMountFlow::firstCheckDelay;
    static constexpr double ntfsSecondCheckDelay = DMMountFlow::secondCheckDelay;
    static constexpr const char* ntfsHelpURL = DMMountFlow::helpURL;

    // Follows sleep and wake from now on and runs the automatic actions `configuration` asks for.
    void startEventMonitor(SleepWakeNotifications* notifications, DMConfigurationManager& configuration);
    DMEventMonitor* eventMonitor() const { return eventMonitor_.get(); }
    void powerStateChanged(bool isSleep, std::function<void()> done) override;

    const std::shared_ptr<DMDriveOperations>& operations() const { return operations_; }
    const std::shared_ptr<DMAlertPresenter>& presenter() const { return presenter_; }

private:
    void mountAfterGuard(const Drive& drive, QWidget* window, Completion completion);
    void unlock(const Drive& drive, QWidget* window);
    void openDriveClean(const Drive& drive, QWidget* window);
    // Hands a feature's action to the window factory; false when the action is none of those.
    bool openFeatureWindow(DMDriveAction action, const Drive& drive, QWidget* window);
    // Runs a local drive's action that is neither a feature window nor guarded away.
    void performLocal(DMDriveAction action, const Drive& drive, QWidget* window, Completion completion);

    std::shared_ptr<DMDriveOperations> operations_;
    std::shared_ptr<DMAlertPresenter> presenter_;
    MountGuard mountGuard_;
    LoadGuard loadGuard_;
    std::shared_ptr<DMDriveWindowFactory> windows_;
    std::shared_ptr<DMOpenLockFlow> openLock_;
    std::shared_ptr<DMMountFlow> mounting_;
    std::shared_ptr<DMUnmountFlow> unmounting_;
    std::shared_ptr<DMFirstAidFlow> firstAid_;
    std::shared_ptr<DMNetworkDriveFlow> network_;
    std::shared_ptr<DMEventMonitor> eventMonitor_;
    std::shared_ptr<DMPowerStateActions> powerStateActions_;
};

}  // namespace harbormind
