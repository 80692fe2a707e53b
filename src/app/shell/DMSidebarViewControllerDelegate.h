#pragma once

#include <memory>

namespace harbormind {

class DMDriveObjectProtocol;
struct DMDriveSnapshot;

// Hears about the sidebar's selection; the window controller shows the drive's detail view.
class DMSidebarViewControllerDelegate {
public:
    virtual ~DMSidebarViewControllerDelegate() = default;
    // `drive` is null when nothing is selected any more.
    virtual void sidebarSelectionChanged(const std::shared_ptr<DMDriveObjectProtocol>& drive,
                                         const DMDriveSnapshot* snapshot) = 0;
};

}  // namespace harbormind
