#include "system/window/WindowFlowContext.h"

#include <QEventLoop>
#include <QTimer>

#include "app/details/DMBaseViewController.h"
#include "app/drives/DMDriveManagerOperations.h"
#include "app/drives/DMDriveSnapshotLoader.h"
#include "app/shell/DMLaunchOptions.h"
#include "app/widgets/DMMacDockView.h"
#include "app/common/DMMainQueueBridge.h"
#include "app/shell/DMPlatformSetup.h"
#include "app/shell/DMSidebarViewController.h"
#include "app/shell/DMWindowController.h"
#include "drivemodel/DMDriveManager.h"
#include "drivemodel/DMLocalDriveManager.h"
#include "platform/Platform.h"
#include "platform/linux/diskevents/LinuxDiskWatcherLog.h"
#include "support/Clock.h"
#include "xpc/XPCTransport.h"

namespace harbormind::test {

WindowFlowContext::WindowFlowContext()
    : started_(toSeconds(Clock::current().now())), presenter_(std::make_shared<FlowPresenter>()) {
    std::string error;
    // The platform and daemon transport the application itself sets up for this machine.
    DMPlatformSetup::install(DMLaunchOptions{}, error);
    DMMainQueueBridge::install();
    controller_ = DMWindowController::create(std::make_shared<DMDriveManagerOperations>(nullptr), presenter_, nullptr);
    manager_ = DMLocalDriveManager::create(controller_);
    DMDriveManager::shared().setDelegate(controller_);
    DMDriveManager::shared().registerManager(manager_, "");
    controller_->showWindow();
}

WindowFlowContext::~WindowFlowContext() {
    DMDriveManager::shared().unregisterManager(manager_);
    DMDriveManager::shared().setDelegate({});
    settle();
    controller_.reset();
    manager_.reset();
    DMMainQueueBridge::uninstall();
    XPCTransport::setCurrent(nullptr);
    Platform::shutDownAll();
}

bool WindowFlowContext::waitFor(const std::function<bool()>& ready, double limit) {
    const Clock::TimePoint deadline = Clock::current().now() + seconds(limit);
    while (!ready()) {
        if (Clock::current().now() >= deadline) {
            return ready();
        }
        // The window's own event loop, woken at least every 20 ms to look again.
        QEventLoop loop;
        QTimer::singleShot(20, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

void WindowFlowContext::settle() {
    waitFor([] { return false; }, 0.2);
    waitFor([] { return DMDriveSnapshotLoader::pending() == 0; }, 30);
}

DMBaseViewController* WindowFlowContext::select(const std::string& identifier, double limit) {
    if (!waitFor([&] { return snapshot(identifier) != nullptr; }, limit)) {
        return nullptr;
    }
    if (!controller_->sidebarViewController()->select(identifier)) {
        return nullptr;
    }
    settle();
    return controller_->currentViewController();
}

const DMDriveSnapshot* WindowFlowContext::snapshot(const std::string& identifier) const {
    return controller_->sidebarViewController()->snapshot(identifier);
}

std::vector<std::string> WindowFlowContext::treeRows() const {
    return controller_->sidebarViewController()->displayedRows();
}

nlohmann::json WindowFlowContext::notShown(const std::string& identifier) const {
    // A partition's events are read with its disk's ("loop7p1", "loop7").
    std::vector<std::string> names{identifier};
    if (auto p = identifier.find_last_of('p'); p != std::string::npos && p + 1 < identifier.size() &&
                                                identifier.find_first_not_of("0123456789", p + 1) == std::string::npos) {
        names.push_back(identifier.substr(0, p));
    }
    const auto drives = manager_->driveObjs();
    return {{"error", identifier + " never showed in the drive tree"},
            {"tree", treeRows()},
            {"discovery",
             {{"watcher", LinuxDiskWatcherLog::report(names, started_)},
              {"model", {{"drives", drives.size()}, {"has", drives.count(identifier) != 0}}},
              {"tree", {{"reloads", controller_->sidebarViewController()->reloadCount()},
                        {"loadsUnderWay", DMDriveSnapshotLoader::pending()}}},
              {"waited", toSeconds(Clock::current().now()) - started_}}}};
}

nlohmann::json WindowFlowContext::describe(const std::string& identifier) const {
    const DMDriveSnapshot* shown = snapshot(identifier);
    if (shown == nullptr) {
        return {{"inTree", false}};
    }
    return {{"inTree", true},
            {"name", shown->name},
            {"mounted", shown->own.isMounted},
            {"mountPoint", shown->own.mountPoint ? nlohmann::json(*shown->own.mountPoint) : nlohmann::json()}};
}

nlohmann::json WindowFlowContext::actionBar(DMBaseViewController& view) {
    nlohmann::json items = nlohmann::json::object();
    for (const DMMacDockViewBaseItem& item : view.actionBar()->items()) {
        const bool enabled = !view.isItemDisabled(item);
        items[item.name] = enabled ? nlohmann::json{{"enabled", true}}
                                    : nlohmann::json{{"enabled", false}, {"why", view.disabledReason(item)}};
    }
    return items;
}

}  // namespace harbormind::test
