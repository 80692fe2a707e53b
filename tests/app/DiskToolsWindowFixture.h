#pragma once

#include <QApplication>
#include <QMainWindow>

#include <cstdlib>
#include <string>

#include "app/disktools/DMDriveHealthView.h"
#include "app/details/DMBaseViewController.h"
#include "app/drives/DMDriveManagerOperations.h"
#include "app/drives/DMDriveSnapshotLoader.h"
#include "app/shell/DMSidebarViewController.h"
#include "app/shell/DMWindowController.h"
#include "AppTestSupport.h"
#include "drivemodel/DMDriveManager.h"
#include "drivemodel/DMLocalDriveManager.h"
#include "platform/sim/InProcessDaemon.h"
#include "platform/sim/InProcessXPCTransport.h"
#include "platform/sim/SimPlatform.h"
#include "support/Dispatch.h"
#include "testsupport/VirtualClockTest.h"
#include "xpc/XPCTransport.h"

namespace harbormind::test {

// The main window on the disk tools scenario (external disks with health reports, tables and
// volumes the simulated daemon answers for).
class DiskToolsWindowFixture : public VirtualClockTest {
protected:
    void start(const std::string& scenario = "disk-tools.json") {
        ensureApplication();
        SimLoadResult loaded = SimPlatform::load(scenarioPath(scenario));
        ASSERT_TRUE(loaded) << loaded.error;
        platform = loaded.platform;
        Platform::setCurrent(platform);
        daemon = std::make_shared<InProcessDaemon>(platform->daemonAnswers());
        XPCTransport::setCurrent(std::make_shared<InProcessXPCTransport>(daemon));
        presenter = std::make_shared<RecordingPresenter>();
        controller = DMWindowController::create(std::make_shared<DMDriveManagerOperations>(nullptr), presenter, nullptr);
        manager = DMLocalDriveManager::create(controller);
        DMDriveManager::shared().setFilter("");
        DMDriveManager::shared().setDelegate(controller);
        DMDriveManager::shared().registerManager(manager, "");
        settle();
    }
    void TearDown() override {
        if (manager) {
            DMDriveManager::shared().unregisterManager(manager);
        }
        DMDriveManager::shared().setDelegate({});
        settle();
        controller.reset();
        manager.reset();
        XPCTransport::setCurrent(nullptr);
        VirtualClockTest::TearDown();
    }
    void settle(double limit = 1.0) {
        Dispatch::main().runUntil([] { return false; }, seconds(limit));
        Dispatch::main().runUntil(
            [] { return DMDriveSnapshotLoader::pending() == 0 && DMDriveHealthView::pending() == 0; }, seconds(10));
        QApplication::processEvents();
    }
    DMBaseViewController* select(const std::string& identifier) {
        EXPECT_TRUE(controller->sidebarViewController()->select(identifier)) << identifier;
        settle(0.2);
        return controller->currentViewController();
    }
    void screenshot(const std::string& name) {
        if (const char* directory = std::getenv("HARBORMIND_SCREENSHOT_DIR")) {
            controller->window()->resize(1060, 760);
            settle(0.1);
            controller->window()->grab().save(QString::fromUtf8(directory) + "/" + QString::fromStdString(name) +
                                              ".png");
        }
    }

    std::shared_ptr<SimPlatform> platform;
    std::shared_ptr<InProcessDaemon> daemon;
    std::shared_ptr<RecordingPresenter> presenter;
    std::shared_ptr<DMWindowController> controller;
    std::shared_ptr<DMLocalDriveManager> manager;
};

}  // namespace harbormind::test
