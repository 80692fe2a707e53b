#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include <QPointer>

#include "app/details/DMBaseViewController.h"
#include "app/network/DMNewNetworkCloudDrivesWindowController.h"
#include "app/notifications/DMDriveEventKind.h"
#include "app/shell/DMSidebarViewControllerDelegate.h"
#include "drivemodel/DMDriveManagerDelegateProtocol.h"

class QLabel;
class QMainWindow;
class QMenu;
class QStackedWidget;
class QToolButton;

namespace harbormind {

class DMNotifyManager;

class DMAlertPresenter;
class DMApplicationActions;
class DMAttachDiskImageFlow;
class DMDiskImageFlow;
class DMDriveObjectProtocol;
class DMDriveActionManager;
class DMDriveRowObserver;
class DMDriveOperations;
class DMSearchField;
class DMSidebarViewController;
class DMViewControllerManager;

// The main window: the search field and corner menu on top, the drive tree on the left and
// the selected drive's detail view on the right. It is the drive manager facade's delegate:
// events from any thread are moved to the main queue before the lists change.
class DMWindowController final : public DMDriveManagerDelegateProtocol,
                                 public DMSidebarViewControllerDelegate,
                                 public std::enable_shared_from_this<DMWindowController> {
public:
    using Drive = std::shared_ptr<DMDriveObjectProtocol>;

    static std::shared_ptr<DMWindowController> create(std::shared_ptr<DMDriveOperations> operations,
                                                      std::shared_ptr<DMAlertPresenter> presenter,
                                                      DMApplicationActions* applicationActions);
    ~DMWindowController() override;

    QMainWindow* window() const { return window_; }
    void showWindow();
    // Seconds after the window first shows before an empty tree counts as "no drives".
    static constexpr double discoveryWait = 3.0;
    // What the detail pane says while no drive is shown.
    std::string placeholderText() const;
    // Drive events are told to it from now on (none are while it is unset).
    void setNotifyManager(DMNotifyManager* manager) { notifyManager_ = manager; }

    void driveAdded(std::shared_ptr<DMDriveObjectProtocol> drive) override;
    void driveRemoved(std::shared_ptr<DMDriveObjectProtocol> drive) override;
    void driveMounted(std::shared_ptr<DMDriveObjectProtocol> drive) override;
    void driveUnmounted(std::shared_ptr<DMDriveObjectProtocol> drive) override;
    void driveChanged(std::shared_ptr<DMDriveObjectProtocol> drive) override;

    void sidebarSelectionChanged(const Drive& drive, const DMDriveSnapshot* snapshot) override;

    // Window actions.
    void searchDrive_click();
    void cornerMenu_click();
    // The editor for a new network drive, replacing one still open.
    void newNetworkOrCloudDrive_click();
    // "Attach Disk Image...": a file the user picks becomes a disk of their own.
    void attachDiskImage_click();
    DMAttachDiskImageFlow& attachDiskImageFlow() { return *attachDiskImageFlow_; }
    // "Create Disk Image..." and "Restore Disk Image..." of the disk or volume shown.
    void createDiskImage_click();
    void restoreDiskImage_click();
    const std::shared_ptr<DMDiskImageFlow>& diskImageFlow() const { return diskImageFlow_; }
    QToolButton* btnNewDrives() const { return btnNewDrives_; }
    DMNewNetworkCloudDrivesWindowController* newDrivesWindowController() const { return newDrivesWindowController_; }

    DMSidebarViewController* sidebarViewController() const { return sidebarViewController_.get(); }
    DMViewControllerManager* viewControllerMgr() const { return viewControllerMgr_.get(); }
    DMBaseViewController* currentViewController() const { return currentViewController_; }
    const std::shared_ptr<DMDriveActionManager>& driveActionManager() const { return driveActionManager_; }
    DMSearchField* searchField() const { return sfSiderItemFilter_; }
    QMenu* cornerMenu() const { return cornerMenu_; }
    void rebuildCornerMenu();
    // The root drives of each section.
    const std::map<std::string, std::vector<Drive>>& objsMap() const { return objsMap_; }

    // The NTFS and BitLocker driver is not installed.
    bool isDriverMissing() const;

private:
    DMWindowController(std::shared_ptr<DMDriveOperations> operations, std::shared_ptr<DMAlertPresenter> presenter,
                       DMApplicationActions* applicationActions);
    void build();
    void onMainQueue(std::function<void(DMWindowController&)> work);
    void updateDrive(const Drive& drive, bool spaceChanged);
    // Becomes the drive object's delegate, so its changes redraw its row; on the main queue.
    void observe(const Drive& drive);
    void showDetail(DMBaseViewController* controller);
    void notifyEvent(const Drive& drive, DMDriveEventKind kind);
    // The text of the empty detail pane: loading, no drives, nothing matches, or pick one.
    void updatePlaceholder();

    std::shared_ptr<DMDriveActionManager> driveActionManager_;
    std::unique_ptr<DMAttachDiskImageFlow> attachDiskImageFlow_;
    std::shared_ptr<DMDiskImageFlow> diskImageFlow_;
    std::shared_ptr<DMDriveObjectProtocol> selectedLocalDrive() const;
    std::map<const DMDriveObjectProtocol*, std::shared_ptr<DMDriveRowObserver>> rowObservers_;
    DMApplicationActions* applicationActions_;
    QMainWindow* window_;
    QLabel* lbTitle_ = nullptr;
    DMSearchField* sfSiderItemFilter_ = nullptr;
    QToolButton* btnCornerMenu_ = nullptr;
    QToolButton* btnNewDrives_ = nullptr;
    QPointer<DMNewNetworkCloudDrivesWindowController> newDrivesWindowController_;
    QMenu* cornerMenu_ = nullptr;
    QStackedWidget* detailStack_ = nullptr;
    QWidget* placeholder_ = nullptr;
    QLabel* lbLoading_ = nullptr;
    // Until then an empty tree may still be filling; afterwards it means there are no drives.
    bool discoveryTimeOver_ = false;
    DMNotifyManager* notifyManager_ = nullptr;
    std::unique_ptr<DMSidebarViewController> sidebarViewController_;
    std::unique_ptr<DMViewControllerManager> viewControllerMgr_;
    DMBaseViewController* currentViewController_ = nullptr;
    std::map<std::string, std::vector<Drive>> objsMap_;
};

}  // namespace harbormind
