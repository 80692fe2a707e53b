#pragma once

namespace harbormind {

// Told by a drive form that the person changed it; the drive object already holds the change.
class DMBaseDriveConfigurableViewControllerDelegate {
public:
    virtual ~DMBaseDriveConfigurableViewControllerDelegate() = default;
    virtual void driveConfigurationDidChange() = 0;
};

}  // namespace harbormind
