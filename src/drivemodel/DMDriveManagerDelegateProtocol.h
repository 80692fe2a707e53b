#pragma once

#include <memory>

namespace harbormind {

class DMDriveObjectProtocol;

// Receives a manager's events. Removal hands over an object that carries only the
// identifier: match removals by identifier, never by object identity.
class DMDriveManagerDelegateProtocol {
public:
    virtual ~DMDriveManagerDelegateProtocol() = default;

    virtual void driveAdded(std::shared_ptr<DMDriveObjectProtocol> drive) = 0;
    virtual void driveRemoved(std::shared_ptr<DMDriveObjectProtocol> drive) = 0;
    virtual void driveMounted(std::shared_ptr<DMDriveObjectProtocol> drive) = 0;
    virtual void driveUnmounted(std::shared_ptr<DMDriveObjectProtocol> drive) = 0;
    virtual void driveChanged(std::shared_ptr<DMDriveObjectProtocol> drive) = 0;
};

}  // namespace harbormind
