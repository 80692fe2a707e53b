#include "app/network/DMBaseDriveConfigurableViewController.h"

#include "app/network/DMBaseDriveConfigurableViewControllerDelegate.h"

namespace harbormind {

DMBaseDriveConfigurableViewController::DMBaseDriveConfigurableViewController(std::shared_ptr<DMNetworkDriveObject> drive,
                                                                             QWidget* parent)
    : QWidget(parent), obj_(std::move(drive)) {}

void DMBaseDriveConfigurableViewController::tellDelegate() {
    if (driveConfigureDelegate_ != nullptr) {
        driveConfigureDelegate_->driveConfigurationDidChange();
    }
}

}  // namespace harbormind
