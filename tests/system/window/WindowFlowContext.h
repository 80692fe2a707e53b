#pragma once

#include <functional>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "system/window/FlowPresenter.h"

namespace harbormind {
class DMBaseViewController;
class DMLocalDriveManager;
class DMWindowController;
struct DMDriveSnapshot;
}  // namespace harbormind

namespace harbormind::test {

// The application's window as the user's session runs it: this machine's Linux platform, the
// helper daemon reached over the system bus, the main window (offscreen) with its drive tree
// and detail views, the real drive operations and the local drive manager. Only the alerts
// are read by the flow (FlowPresenter) instead of a person.
class WindowFlowContext {
public:
    WindowFlowContext();
    ~WindowFlowContext();
    WindowFlowContext(const WindowFlowContext&) = delete;
    WindowFlowContext& operator=(const WindowFlowContext&) = delete;

    DMWindowController& window() { return *controller_; }
    FlowPresenter& presenter() { return *presenter_; }
    const std::shared_ptr<FlowPresenter>& sharedPresenter() const { return presenter_; }

    // Runs the event loop until `ready` holds or `limit` seconds passed on the wall clock.
    bool waitFor(const std::function<bool()>& ready, double limit);
    // Runs the event loop until the drive tree's and detail views' reading is done.
    void settle();
    // Waits until the drive shows in the tree, selects it and answers its detail view.
    DMBaseViewController* select(const std::string& identifier, double limit = 120);
    // The tree's snapshot of the drive, or null while it is not in the tree.
    const DMDriveSnapshot* snapshot(const std::string& identifier) const;
    // The tree's rows, as identifiers.
    std::vector<std::string> treeRows() const;
    // The report of a drive that did not show in the tree in time: the tree's rows, and how
    // the window's discovery went (the disk watcher's scans and the drive's kernel events,
    // timed from the flow's start; whether the drive model has it; the tree's reloads).
    nlohmann::json notShown(const std::string& identifier) const;
    // What the window shows of the drive: in the tree, mounted, mount point, file system.
    nlohmann::json describe(const std::string& identifier) const;
    // The detail view's action bar: each item's name, enabled, and why not.
    static nlohmann::json actionBar(DMBaseViewController& view);

private:
    double started_;  // on the process's clock, in seconds
    std::shared_ptr<FlowPresenter> presenter_;
    std::shared_ptr<DMWindowController> controller_;
    std::shared_ptr<DMLocalDriveManager> manager_;
};

}  // namespace harbormind::test
