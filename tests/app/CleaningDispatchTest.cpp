#include <gtest/gtest.h>

#include <QLineEdit>

#include "AppTestSupport.h"
#include "CleaningWindowFakes.h"
#include "StickOperations.h"
#include "app/cleaning/CDDriveClearViewController.h"
#include "app/cleaning/CDDriveClearWindowController.h"
#include "app/cleaning/CDJunkClearViewController.h"
#include "app/cleaning/CDJunkClearWindowController.h"
#include "app/drives/DMDriveAction.h"
#include "app/drives/DMDriveActionManager.h"
#include "app/drives/DMDriveOperations.h"
#include "cleaning/DMFileClearManager.h"
#include "cleaning/DMFileScanManager.h"
#include "cleaning/TempTree.h"
#include "drivemodel/DMLocalDriveObject.h"
#include "testsupport/VirtualClockTest.h"

namespace harbormind {
namespace {

// Only the drive-clear question matters here.
class ClearOperations final : public test::StickOperations {
public:
    std::optional<std::string> driveClearPath(const Drive&) override { return path; }

    std::optional<std::string> path;
};

class CleaningDispatchTest : public test::VirtualClockTest {
protected:
    void SetUp() override {
        VirtualClockTest::SetUp();
        test::ensureApplication();
        home = tree.folder("home");
        tree.file("home/Library/Caches/a", 2 * 1048576);
        users = std::make_unique<test::FixedHomeUsers>(home);
        junk = std::make_unique<DMFileClearManager>(&walker, &locations, users.get());
        scan = std::make_unique<DMFileScanManager>(&walker);
        operations = std::make_shared<ClearOperations>();
        actions = std::make_shared<DMDriveActionManager>(operations, presenter);
        CDCleaningServices services;
        services.junkManager = junk.get();
        services.scanManager = scan.get();
        services.workspace = &workspace;
        services.junkTable = [this] { return locations.categories(home); };
        actions->setCleaningServices(services);
        drive = DMLocalDriveObject::create("sdb1");
        window = std::make_unique<QWidget>();
        window->resize(1000, 700);
        window->show();
    }
    void TearDown() override {
        delete actions->junkClearWindowController();
        delete actions->driverClearWindowController();
        Dispatch::main().runUntil([] { return false; }, seconds(1));
        VirtualClockTest::TearDown();
    }

    test::TempTree tree;
    std::string home;
    LinuxDirectoryWalker walker;
    test::HomeJunkLocations locations;
    std::unique_ptr<test::FixedHomeUsers> users;
    std::unique_ptr<DMFileClearManager> junk;
    std::unique_ptr<DMFileScanManager> scan;
    std::shared_ptr<ClearOperations> operations;
    std::shared_ptr<test::RecordingPresenter> presenter = std::make_shared<test::RecordingPresenter>();
    test::RecordingWorkspace workspace;
    std::shared_ptr<DMDriveActionManager> actions;
    std::shared_ptr<DMLocalDriveObject> drive;
    std::unique_ptr<QWidget> window;
};

TEST_F(CleaningDispatchTest, JunkCleanOpensOneScanningSheetAndReplacesTheOldOne) {
    EXPECT_TRUE(actions->isActionAvailable(DMDriveAction::junkClean, DMDriveObjectCategory::local));
    EXPECT_FALSE(actions->isActionAvailable(DMDriveAction::junkClean, DMDriveObjectCategory::network));
    actions->perform(DMDriveAction::junkClean, drive, window.get());
    QPointer<CDJunkClearWindowController> first = actions->junkClearWindowController();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->parentWidget(), window.get());
    EXPECT_EQ(first->windowModality(), Qt::WindowModal);
    EXPECT_TRUE(first->isVisible());
    EXPECT_TRUE(first->viewController()->isBusy());
    ASSERT_TRUE(Dispatch::main().runUntil([&] { return !first->viewController()->isBusy(); }, seconds(60)));

    actions->perform(DMDriveAction::junkClean, drive, window.get());
    EXPECT_TRUE(first.isNull());
    ASSERT_NE(actions->junkClearWindowController(), nullptr);
    ASSERT_TRUE(Dispatch::main().runUntil(
        [&] { return !actions->junkClearWindowController()->viewController()->isBusy(); }, seconds(60)));
}

TEST_F(CleaningDispatchTest, DriveCleanOpensOnTheMountPointOnlyWhenTheDriveMayBeCleared) {
    actions->perform(DMDriveAction::driveClean, drive, window.get());
    Dispatch::main().runUntil([] { return false; }, seconds(1));
    EXPECT_EQ(actions->driverClearWindowController(), nullptr);

    operations->path = tree.folder("stick");
    actions->perform(DMDriveAction::driveClean, drive, window.get());
    ASSERT_TRUE(Dispatch::main().runUntil([&] { return actions->driverClearWindowController() != nullptr; }, seconds(5)));
    QPointer<CDDriveClearWindowController> first = actions->driverClearWindowController();
    EXPECT_EQ(first->viewController()->searchEdit()->text().toStdString(), *operations->path);
    ASSERT_TRUE(Dispatch::main().runUntil([&] { return !first->viewController()->isBusy(); }, seconds(60)));

    actions->perform(DMDriveAction::driveClean, drive, window.get());
    ASSERT_TRUE(Dispatch::main().runUntil([&] { return first.isNull(); }, seconds(5)));
    ASSERT_NE(actions->driverClearWindowController(), nullptr);
}

}  // namespace
}  // namespace harbormind
