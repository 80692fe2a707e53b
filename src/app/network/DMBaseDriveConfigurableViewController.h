#pragma once

#include <QWidget>
#include <memory>

namespace harbormind {

class DMBaseDriveConfigurableViewControllerDelegate;
class DMNetworkDriveObject;

// A form that edits a drive object as the person types.
class DMBaseDriveConfigurableViewController : public QWidget {
public:
    DMBaseDriveConfigurableViewController(std::shared_ptr<DMNetworkDriveObject> drive, QWidget* parent);

    const std::shared_ptr<DMNetworkDriveObject>& obj() const { return obj_; }
    void setDriveConfigureDelegate(DMBaseDriveConfigurableViewControllerDelegate* delegate) {
        driveConfigureDelegate_ = delegate;
    }
    // Turns every control on or off (off while a connection is being made).
    virtual void setEditable(bool editable) = 0;

protected:
    void tellDelegate();

    std::shared_ptr<DMNetworkDriveObject> obj_;
    DMBaseDriveConfigurableViewControllerDelegate* driveConfigureDelegate_ = nullptr;
};

}  // namespace harbormind
