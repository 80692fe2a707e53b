#pragma once

#include <QDialog>

#include <memory>
#include <string>

namespace harbormind {

class CDDriveClearViewController;
class DMAlertPresenter;
class DMFileScanManager;
class Workspace;

// The drive clear window, shown as a sheet on the main window.
class CDDriveClearWindowController : public QDialog {
public:
    CDDriveClearWindowController(DMFileScanManager& manager, std::shared_ptr<DMAlertPresenter> presenter,
                                 Workspace* workspace, QWidget* parent);

    // Starts the scan of the drive's mount point.
    void start(const std::string& path);
    // Shows the window as a sheet on its parent (a window of its own without one).
    void present();

    CDDriveClearViewController* viewController() const { return viewController_; }

private:
    CDDriveClearViewController* viewController_;
};

}  // namespace harbormind
