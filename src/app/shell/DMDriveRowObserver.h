#pragma once

#include <functional>

#include "drivemodel/DMDriveObjectDelegate.h"

namespace harbormind {

// The window's delegate of one drive object: the object tells it when its display state
// changes (a network drive starts or stops connecting), and it has the drive's row redrawn.
class DMDriveRowObserver final : public DMDriveObjectDelegate {
public:
    explicit DMDriveRowObserver(std::function<void()> changed) : changed_(std::move(changed)) {}
    void driveObjectDidChange() override { changed_(); }

private:
    std::function<void()> changed_;
};

}  // namespace harbormind
