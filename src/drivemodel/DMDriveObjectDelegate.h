#pragma once

namespace harbormind {

// Told by a drive object that the view item showing it should redraw.
class DMDriveObjectDelegate {
public:
    virtual ~DMDriveObjectDelegate() = default;
    virtual void driveObjectDidChange() = 0;
};

}  // namespace harbormind
