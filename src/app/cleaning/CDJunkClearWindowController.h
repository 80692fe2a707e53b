#pragma once

#include <QDialog>

#include <memory>
#include <vector>

#include "platform/JunkLocations.h"

namespace harbormind {

class CDJunkClearViewController;
class DMAlertPresenter;
class DMFileClearManager;
class Workspace;

// The junk clean window, shown as a sheet on the main window.
class CDJunkClearWindowController : public QDialog {
public:
    CDJunkClearWindowController(DMFileClearManager& manager, std::vector<JunkCategory> table,
                                std::shared_ptr<DMAlertPresenter> presenter, Workspace* workspace, QWidget* parent);

    // Starts the scan.
    void start();
    // Shows the window as a sheet on its parent (a window of its own without one).
    void present();

    CDJunkClearViewController* viewController() const { return viewController_; }

private:
    CDJunkClearViewController* viewController_;
};

}  // namespace harbormind
