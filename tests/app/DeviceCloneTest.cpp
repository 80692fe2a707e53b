#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <cstdlib>
#include <map>
#include <mutex>
#include <set>

#include "app/common/DMTr.h"
#include "app/clone/DMDeviceCloneFlow.h"
#include "app/drives/DMDriveAction.h"
#include "app/drives/DMDriveActionManager.h"
#include "app/shell/DMFeatureWindowFactory.h"
#include "AppTestSupport.h"
#include "ScreenshotLook.h"
#include "drivemodel/DMCloneTexts.h"
#include "drivemodel/DMDeviceCloneWrapper.h"
#include "drivemodel/DMLocalDriveManager.h"
#include "drivemodel/DMLocalDriveObject.h"
#include "platform/sim/InProcessXPCTransport.h"
#include "support/Dispatch.h"
#include "support/DMByteCountFormatter.h"
#include "testsupport/VirtualClockTest.h"

namespace harbormind {
namespace {

using Array = PlatformValue::Array;

// Drive work for the clone flow: external roots, lookup by identifier, mounted volumes and
// unmounting (a volume may be busy, or an unmount may hold until the test lets it go).
class CloneOperations final : public DMDriveOperations {
public:
    bool isLocalDrive(const Drive&) override { return true; }
    DMDriveObjectFilesystem fileSystem(const Drive&) override { return DMDriveObjectFilesystem::unknown; }
    std::string name(const Drive& drive) override { return drive->identifier(); }
    int open(const Drive&) override { return 0; }
    int mount(const Drive&) override { return 0; }
    DMOperationResult unmount(const Drive& drive, DMUnmountOption option) override {
        std::string name = drive->identifier();
        {
            std::lock_guard lock(mutex);
            unmounted.push_back(name + (option == DMUnmountOption::force ? " (forced)" : ""));
            daemonCallsAtUnmount = daemon ? daemon->calls().size() : 0;
        }
        Clock::current().waitUntil(
            [this] {
                std::lock_guard lock(mutex);
                return !holdUnmount;
            },
            std::nullopt);
        std::lock_guard lock(mutex);
        if (busy.count(name) && option != DMUnmountOption::force) {
            return {DMLocalDriveManager::busyCode, "in use by bash (pid 812)"};
        }
        mounted.erase(name);
        return {0, {}};
    }
    DMOperationResult eject(const Drive&) override { return {0, {}}; }
    int lock(const Drive&) override { return 0; }
    int accessMode(const Drive&) override { return 1; }
    bool hasHibernationFile(const Drive&) override { return false; }
    void setIgnoreHibernateFile(bool) override {}
    std::vector<Drive> externalRootDrives() override { return roots; }
    bool isDriverInstalled() override { return true; }
    bool canInstallDriver() override { return false; }
    void installDriver() override {}
    bool ignoreHibernationFileWhenMountingNtfsDrives() override { return false; }
    void openURL(const std::string& url) override { urls.push_back(url); }
    bool isMounted(const Drive& drive) override {
        if (beforeMountCheck) {
            beforeMountCheck();
        }
        std::lock_guard lock(mutex);
        return mounted.count(drive->identifier()) > 0;
    }
    DMCloneDrive cloneDrive(const Drive& drive) override {
        std::string id = drive->identifier();
        DMCloneDrive clone{drive, id, "Disk " + id, "externalDisk", sizes.count(id) ? sizes[id] : 64'000'000'000, {}};
        std::lock_guard lock(mutex);
        clone.volumes.push_back({id + "s1", mounted.count(id) ? std::optional<std::string>("/media/ann/" + id) : std::nullopt});
        return clone;
    }
    Drive localDriveWithIdentifier(const std::string& identifier) override {
        for (const Drive& drive : known) {
            if (drive->identifier() == identifier) {
                return drive;
            }
        }
        return nullptr;
    }
    void release() {
        std::lock_guard lock(mutex);
        holdUnmount = false;
        Clock::current().notifyAll();
    }

    std::shared_ptr<InProcessDaemon> daemon;
    std::vector<Drive> roots;
    std::vector<Drive> known;
    std::map<std::string, std::int64_t> sizes;
    std::mutex mutex;
    std::set<std::string> mounted;
    std::set<std::string> busy;
    bool holdUnmount = false;
    std::vector<std::string> unmounted;
    std::size_t daemonCallsAtUnmount = 0;
    std::function<void()> beforeMountCheck;
    std::vector<std::string> urls;
};

PlatformValue::Dictionary answers() {
    PlatformValue::Dictionary clone{
        {"checkDiskWithStrDestinDevice", PlatformValue::Dictionary{{"/dev/disk6", 4}, {"*", 0}}},
        {"checkDiskWithStrDestinDeviceMessage",
         PlatformValue::Dictionary{{"/dev/disk6", "the destination holds 1000 bytes, the source 2000"}}},
        {"isCloneInterruptDeviceWithStrDevice", PlatformValue::Dictionary{{"/dev/disk4", true}}},
        {"getCloneInterruptSourceDeviceUUIDWithStrDestinDevice",
         PlatformValue::Dictionary{{"/dev/disk4", "disk2"}}},
        {"clonDeviceWithStrDestinDevice", PlatformValue::Dictionary{{"/dev/rdisk7", -1}, {"*", 0}}},
        {"clonDeviceWithStrDestinDeviceMessage", PlatformValue::Dictionary{{"/dev/rdisk7", "refused: not authorized"}}},
        {"updateProgressWithStatus",
         PlatformValue::Dictionary{{"/dev/rdisk5", Array{Array{3, 2'000'000'000, 500'000'000, 0},
                                                          Array{4, 2'000'000'000, 2'000'000'000, 0}}},
                                   {"/dev/rdisk8", Array{Array{3, 2'000'000'000, 500'000'000, 0}}},
                                   {"/dev/rdisk9", Array{Array{3, 2'000'000'000, 500'000'000, 0}}}}},
        {"cloneEndedWithUnreadableBytes", PlatformValue::Dictionary{{"/dev/rdisk5", Array{8192, ""}}}},
        {"isCloneRunningWithStrDestinDevice", PlatformValue::Dictionary{{"/dev/disk9", true}}},
    };
    return {{"deviceClone", clone}};
}

class DeviceCloneTest : public test::VirtualClockTest {
protected:
    void SetUp() override {
        VirtualClockTest::SetUp();
        test::ensureApplication();
        daemon = std::make_shared<InProcessDaemon>(answers());
        XPCTransport::setCurrent(std::make_shared<InProcessXPCTransport>(daemon));
        operations = std::make_shared<CloneOperations>();
        operations->daemon = daemon;
        presenter = std::make_shared<test::RecordingPresenter>();
        windows = std::make_shared<DMFeatureWindowFactory>(operations, presenter);
        actions = std::make_shared<DMDriveActionManager>(operations, presenter, windows);
        for (const char* name : {"disk2", "disk4", "disk5", "disk6", "disk7", "disk8", "disk9"}) {
            drives[name] = DMLocalDriveObject::create(name);
        }
        operations->known = {drives["disk2"], drives["disk4"], drives["disk5"], drives["disk6"], drives["disk7"]};
    }
    void TearDown() override {
        operations->release();
        settle();
        XPCTransport::setCurrent(nullptr);
        VirtualClockTest::TearDown();
    }

    void settle(Clock::Duration limit = seconds(2)) {
        Dispatch::main().runUntil([] { return false; }, limit);
    }
    DMDeviceCloneFlow& flow() { return *windows->deviceCloneFlow(); }

    // Opens the picker for disk2 and starts a clone onto the candidate in `row`.
    void pickDestination(int row) {
        actions->perform(DMDriveAction::clone, drives["disk2"], nullptr);
        settle();
        ASSERT_NE(flow().deviceCloneWndController(), nullptr);
        flow().deviceCloneWndController()->selectRow(row);
        flow().deviceCloneWndController()->btnStartClone->click();
        settle();
    }
    std::vector<InProcessDaemonCall> callsOf(const std::string& method) const {
        std::vector<InProcessDaemonCall> result;
        for (const auto& call : daemon->calls()) {
            if (call.method == method) {
                result.push_back(call);
            }
        }
        return result;
    }
    std::vector<InProcessDaemonCall> cloneRequests() const { return callsOf("startCloneWithStrDestinDevice"); }
    bool sheetIsOpen() {
        auto* sheet = flow().deviceCloneProgressWndController();
        return sheet && sheet->isVisible();
    }
    // Cancels on the progress sheet and answers the question with "Stop Cloning".
    void cancelOnTheSheet() {
        auto* sheet = flow().deviceCloneProgressWndController();
        ASSERT_NE(sheet, nullptr);
        presenter->answers = {1};
        sheet->btnCancel->click();
        settle();
    }

    std::shared_ptr<InProcessDaemon> daemon;
    std::shared_ptr<CloneOperations> operations;
    std::shared_ptr<test::RecordingPresenter> presenter;
    std::shared_ptr<DMFeatureWindowFactory> windows;
    std::shared_ptr<DMDriveActionManager> actions;
    std::map<std::string, std::shared_ptr<DMLocalDriveObject>> drives;
};

TEST_F(DeviceCloneTest, WithoutAnotherExternalDriveThereIsNothingToPick) {
    operations->roots = {drives["disk2"]};
    actions->perform(DMDriveAction::clone, drives["disk2"], nullptr);
    settle();
    EXPECT_EQ(presenter->titles(), std::vector<std::string>{DMCloneTexts::noDestination});
    EXPECT_EQ(flow().deviceCloneWndController(), nullptr);
}

TEST_F(DeviceCloneTest, ThePickerGreysDisksTooSmallForTheSource) {
    operations->roots = {drives["disk2"], drives["disk5"], drives["disk4"]};
    operations->sizes = {{"disk2", 32'000'000'000}, {"disk5", 16'000'000'000}, {"disk4", 32'000'000'000}};
    actions->perform(DMDriveAction::clone, drives["disk2"], nullptr);
    settle();
    auto* picker = flow().deviceCloneWndController();
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(picker->size(), QSize(640, 450));
    ASSERT_EQ(picker->outlineView()->count(), 2);  // the source is not offered
    EXPECT_FALSE(picker->outlineView()->item(0)->flags() & Qt::ItemIsEnabled);
    EXPECT_NE(picker->outlineView()->item(0)->toolTip().toStdString().find("32 GB"), std::string::npos);
    EXPECT_TRUE(picker->outlineView()->item(1)->flags() & Qt::ItemIsEnabled);
    picker->selectRow(0);
    EXPECT_FALSE(picker->btnStartClone->isEnabled());
    picker->selectRow(1);
    EXPECT_TRUE(picker->btnStartClone->isEnabled());
}

TEST_F(DeviceCloneTest, AFreshCloneNamesWhatItErasesThenRunsToCompletion) {
    operations->roots = {drives["disk2"], drives["disk5"], drives["disk4"]};
    presenter->answers = {1};  // the overwrite warning's second button goes ahead
    pickDestination(0);

    ASSERT_EQ(presenter->titles(), std::vector<std::string>{DMCloneTexts::overwriteWarning});
    const DMAlert& warning = presenter->shown[0].alert;
    EXPECT_EQ(warning.buttons, (std::vector<std::string>{std::string(DMTr::text(DMCloneTexts::cancel)), std::string(DMTr::text(DMCloneTexts::ok))}));
    EXPECT_EQ(warning.escapeButton, 0u);  // Cancel comes first: the default and Escape
    EXPECT_NE(warning.text.find("“Disk disk5” (64 GB)"), std::string::npos) << warning.text;
    EXPECT_NE(warning.text.find("“disk5s1”"), std::string::npos) << warning.text;
    ASSERT_EQ(cloneRequests().size(), 1u);
    EXPECT_EQ(cloneRequests()[0].arguments, (std::vector<std::string>{"/dev/rdisk5", "/dev/rdisk2", "false"}));
    auto* sheet = flow().deviceCloneProgressWndController();
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->lbTitle->text().toStdString(), DMCloneTexts::completed);
    EXPECT_EQ(sheet->lbCloneSize->text().toStdString(), "2 GB of 2 GB");
    EXPECT_NE(sheet->lbNote->text().toStdString().find("(8192 bytes) could not be read"), std::string::npos);
    EXPECT_NE(sheet->lbNote->text().toStdString().find("written as zeros"), std::string::npos);
    EXPECT_FALSE(sheet->btnCancel->isVisible());
    EXPECT_TRUE(sheet->btnFinish->isVisible());
}

// The desktop mounts an external disk as soon as it appears: its volumes are unmounted before
// the daemon checks the pair (which refuses a mounted destination).
TEST_F(DeviceCloneTest, AMountedDestinationIsUnmountedBeforeThePairCheck) {
    operations->roots = {drives["disk2"], drives["disk5"]};
    operations->mounted = {"disk5"};
    presenter->answers = {1};
    pickDestination(0);
    EXPECT_NE(presenter->shown[0].alert.text.find("unmounted first"), std::string::npos);
    ASSERT_EQ(operations->unmounted, std::vector<std::string>{"disk5"});
    EXPECT_TRUE(callsOf("checkClonePairWithStrDestinDevice").size() == 1);
    std::size_t checkIndex = 0;
    for (const auto& call : daemon->calls()) {
        if (call.method == "checkClonePairWithStrDestinDevice") {
            break;
        }
        ++checkIndex;
    }
    EXPECT_LE(operations->daemonCallsAtUnmount, checkIndex);
    EXPECT_EQ(cloneRequests().size(), 1u);

    // A busy volume: the alert names the disk and what holds it; Cancel starts nothing,
    // Force Unmount goes on.
    daemon->clearCalls();
    operations->unmounted.clear();
    operations->mounted = {"disk5"};
    operations->busy = {"disk5"};
    presenter->answers = {1, 0};
    pickDestination(0);
    ASSERT_GE(presenter->shown.size(), 2u);
    const DMAlert& busy = presenter->shown.back().alert;
    EXPECT_EQ(busy.title, "\"Disk disk5\" is in use");
    EXPECT_NE(busy.text.find("in use by bash (pid 812)"), std::string::npos);
    EXPECT_TRUE(callsOf("checkClonePairWithStrDestinDevice").empty());
    EXPECT_TRUE(cloneRequests().empty());
    EXPECT_FALSE(sheetIsOpen());

    presenter->answers = {1, 1};
    pickDestination(0);
    EXPECT_EQ(operations->unmounted.back(), "disk5 (forced)");
    EXPECT_EQ(cloneRequests().size(), 1u);
}

TEST_F(DeviceCloneTest, AMountedSourceIsUnmountedOnlyWhenTheUserAgrees) {
    operations->roots = {drives["disk2"], drives["disk5"]};
    operations->mounted = {"disk2"};
    presenter->answers = {1, 0};  // go ahead, then Cancel at the question about the source
    pickDestination(0);
    ASSERT_EQ(presenter->shown.size(), 2u);
    EXPECT_NE(presenter->shown[1].alert.title.find("“Disk disk2” is mounted"), std::string::npos);
    EXPECT_NE(presenter->shown[1].alert.text.find("“disk2s1” (/media/ann/disk2)"), std::string::npos);
    EXPECT_TRUE(operations->unmounted.empty());
    EXPECT_TRUE(cloneRequests().empty());

    presenter->answers = {1, 1};
    pickDestination(0);
    EXPECT_EQ(operations->unmounted, std::vector<std::string>{"disk2"});
    EXPECT_EQ(cloneRequests().size(), 1u);
}

// A cancel before the copy has started is never lost: nothing is requested afterwards.
TEST_F(DeviceCloneTest, CancelBeforeTheCopyNeverStartsIt) {
    operations->roots = {drives["disk2"], drives["disk5"]};

    // While the destination is being unmounted.
    operations->mounted = {"disk5"};
    operations->holdUnmount = true;
    presenter->answers = {1};
    pickDestination(0);
    ASSERT_EQ(operations->unmounted.size(), 1u);
    cancelOnTheSheet();
    EXPECT_EQ(presenter->shown.back().alert.text, "Nothing has been written to “Disk disk5” yet.");
    operations->release();
    settle();
    EXPECT_TRUE(callsOf("checkClonePairWithStrDestinDevice").empty());
    EXPECT_TRUE(cloneRequests().empty());
    EXPECT_TRUE(callsOf("stopCloneWithFlag").empty());
    EXPECT_FALSE(sheetIsOpen());

    // While the daemon checks the pair (here it never answers).
    operations->beforeMountCheck = [this] { daemon->setBehaviour("deviceClone", InProcessDaemonBehaviour::neverAnswer); };
    presenter->answers = {1};
    pickDestination(0);
    ASSERT_EQ(callsOf("checkClonePairWithStrDestinDevice").size(), 1u);
    std::size_t alerts = presenter->shown.size();
    cancelOnTheSheet();
    settle(seconds(120));  // the check's own limit passes
    EXPECT_TRUE(cloneRequests().empty());
    EXPECT_EQ(presenter->shown.size(), alerts + 1);  // the question only: no alert of a failure
}

TEST_F(DeviceCloneTest, EveryRefusalReachesTheUserWithItsReason) {
    operations->roots = {drives["disk2"], drives["disk6"], drives["disk7"]};
    presenter->answers = {1};
    pickDestination(0);
    EXPECT_EQ(presenter->titles().back(), " Not enough space on the destination device.");
    EXPECT_EQ(presenter->shown.back().alert.text, "the destination holds 1000 bytes, the source 2000");
    EXPECT_TRUE(cloneRequests().empty());
    EXPECT_FALSE(sheetIsOpen());

    presenter->answers = {1};
    pickDestination(1);  // disk7: the daemon refuses the request itself
    EXPECT_EQ(cloneRequests().size(), 1u);
    EXPECT_EQ(presenter->titles().back(), "The clone could not be started");
    EXPECT_EQ(presenter->shown.back().alert.text, "refused: not authorized");
    EXPECT_FALSE(sheetIsOpen());

    // No answer at all: said, not swallowed.
    daemon->setBehaviour("deviceClone", InProcessDaemonBehaviour::failConnection);
    presenter->answers = {1};
    pickDestination(0);
    EXPECT_EQ(presenter->titles().back(), "The clone could not be started");
    EXPECT_NE(presenter->shown.back().alert.text.find("did not answer"), std::string::npos);

    presenter->answers = {0};  // the overwrite warning's Cancel
    std::size_t before = presenter->shown.size();
    pickDestination(0);
    EXPECT_EQ(presenter->shown.size(), before + 1);
}

// Reports that stop coming are not waited for for ever: the daemon is asked whether the clone
// still runs (a slow device) or not (the daemon went away).
TEST_F(DeviceCloneTest, TheSheetNoticesADaemonThatStoppedReporting) {
    operations->roots = {drives["disk2"], drives["disk8"], drives["disk9"]};
    presenter->answers = {1};
    pickDestination(1);  // disk9: still running, only slow
    settle(seconds(60));
    ASSERT_NE(flow().deviceCloneProgressWndController(), nullptr);
    EXPECT_EQ(flow().deviceCloneProgressWndController()->lbTitle->text().toStdString(), DMCloneTexts::cloning);
    EXPECT_GE(callsOf("isCloneRunningWithStrDestinDevice").size(), 2u);

    presenter->answers = {1};
    pickDestination(0);  // disk8: the daemon no longer runs it
    settle(seconds(60));
    auto* sheet = flow().deviceCloneProgressWndController();
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->lbTitle->text().toStdString(), "The clone was interrupted.");
    EXPECT_NE(sheet->lbNote->text().toStdString().find("Resume Clone"), std::string::npos);
    EXPECT_TRUE(sheet->btnFinish->isVisibleTo(sheet));
}

TEST_F(DeviceCloneTest, AnInterruptedDestinationRestartsOrResumesFromItsRecordedSource) {
    operations->roots = {drives["disk2"], drives["disk4"]};
    presenter->answers = {1, 0};  // go ahead, then "Continue"
    pickDestination(0);
    EXPECT_EQ(presenter->titles(),
              (std::vector<std::string>{std::string(DMTr::text(DMCloneTexts::overwriteWarning)), std::string(DMTr::text(DMCloneTexts::interrupted))}));
    EXPECT_EQ(presenter->shown[1].alert.buttons,
              (std::vector<std::string>{std::string(DMTr::text(DMCloneTexts::continueButton)), std::string(DMTr::text(DMCloneTexts::resumeClone)),
                                        std::string(DMTr::text(DMCloneTexts::cancel))}));
    ASSERT_EQ(cloneRequests().size(), 1u);
    EXPECT_EQ(cloneRequests()[0].arguments, (std::vector<std::string>{"/dev/rdisk4", "/dev/rdisk2", "true"}));

    // Resume from the destination's menu: the recorded source disk2 is found.
    daemon->clearCalls();
    actions->perform(DMDriveAction::resumeClone, drives["disk4"], nullptr);
    settle();
    ASSERT_EQ(cloneRequests().size(), 1u);
    EXPECT_EQ(cloneRequests()[0].arguments, (std::vector<std::string>{"/dev/rdisk4", "/dev/rdisk2", "false"}));

    // The recorded source is not attached; a destination without a record.
    operations->known = {drives["disk4"]};
    actions->perform(DMDriveAction::resumeClone, drives["disk4"], nullptr);
    settle();
    actions->perform(DMDriveAction::resumeClone, drives["disk5"], nullptr);
    settle();
    auto titles = presenter->titles();
    ASSERT_GE(titles.size(), 2u);
    EXPECT_EQ(titles[titles.size() - 2], std::string(DMTr::text(DMCloneTexts::insertSource)));
    EXPECT_EQ(titles.back(), std::string(DMTr::text(DMCloneTexts::sourceUuidEmpty)));
}

TEST_F(DeviceCloneTest, ProgressShowsSizesSpeedAndTimeLeftAndCancelAsksFirst) {
    auto wrapper = DMDeviceCloneWrapper::create();
    DMDeviceCloneProgressWndController sheet(wrapper, presenter);
    DMProgressMessage running;
    running.status = DMProgressStatus::running;
    running.total = 5'000'000'000;
    running.current = 1'000'000'000;
    sheet.showProgress(running);
    clock->sleepFor(seconds(10));
    running.current = 1'234'567'890;  // 23.5 MB/s since the first report
    sheet.showProgress(running);
    EXPECT_EQ(sheet.progress->value(), 247);  // 0.2469… rounded to thousandths
    EXPECT_EQ(sheet.lbCloneSize->text().toStdString(),
              DMByteCountFormatter::string(1'234'567'890) + " of " + DMByteCountFormatter::string(5'000'000'000));
    EXPECT_EQ(sheet.lbSpeed->text().toStdString(),
              DMByteCountFormatter::string(23'456'789) + "/s, about 3 min left");
    EXPECT_EQ(sheet.lbTitle->text().toStdString(), DMCloneTexts::cloning);

    DMProgressMessage vanished = running;
    vanished.status = DMProgressStatus::finished;
    vanished.error = DMProgressError::eErrorSourceStroageDisapper;
    sheet.showProgress(vanished);
    EXPECT_EQ(presenter->titles(), std::vector<std::string>{DMCloneTexts::sourceMissing});
    EXPECT_NE(sheet.lbTitle->text().toStdString(), DMCloneTexts::completed);
    EXPECT_NE(sheet.lbNote->text().toStdString().find("Resume Clone"), std::string::npos);

    DMDeviceCloneProgressWndController running2(wrapper, presenter);
    running2.show();
    presenter->answers = {0, 0};  // "Continue Cloning", for the button and for Escape
    running2.btnCancel->click();
    running2.reject();
    settle();
    EXPECT_TRUE(running2.isVisible());
    EXPECT_EQ(presenter->shown.size(), 3u);
    EXPECT_NE(presenter->shown.back().alert.text.find("resume the clone later"), std::string::npos);
    presenter->answers = {1};  // "Stop Cloning"
    running2.btnCancel->click();
    settle();
    EXPECT_FALSE(running2.isVisible());
    ASSERT_FALSE(daemon->calls().empty());
    EXPECT_EQ(daemon->calls().back(), (InProcessDaemonCall{"deviceClone", "stopCloneWithFlag", {"true"}}));
}

void saveScreenshots(const QString& prefix, const std::shared_ptr<DMAlertPresenter>& presenter);

// HARBORMIND_SCREENSHOT_DIR=FOLDER saves pictures of the picker and the progress sheet.
TEST_F(DeviceCloneTest, Screenshots) {
    const char* folder = std::getenv("HARBORMIND_SCREENSHOT_DIR");
    if (folder == nullptr) {
        GTEST_SKIP() << "HARBORMIND_SCREENSHOT_DIR is not set";
    }
    test::ScreenshotLook look;
    for (bool dark : {false, true}) {
        look.use(dark);
        saveScreenshots(QString(folder) + (dark ? "/clone-dark-" : "/clone-"), presenter);
    }
}

void saveScreenshots(const QString& prefix, const std::shared_ptr<DMAlertPresenter>& presenter) {
    DMCloneDrive source{nullptr, "sdb", "SanDisk Ultra", "externalDisk", 32'010'928'128, {}};
    DMDeviceCloneWndController picker(source,
                                      {{nullptr, "sdc", "Samsung T7", "externalDisk", 500'107'862'016, {}},
                                       {nullptr, "sde", "Kingston DataTraveler", "externalDisk", 15'938'355'200, {}},
                                       {nullptr, "sdd", "WD Elements", "externalDisk", 2'000'365'289'472, {}}},
                                      nullptr);
    picker.selectRow(0);
    picker.show();
    picker.grab().save(prefix + "picker.png");
    DMDeviceCloneProgressWndController sheet(nullptr, presenter);
    DMProgressMessage running;
    running.status = DMProgressStatus::running;
    running.total = 32'010'928'128;
    running.current = 1'811'160'064;
    sheet.showProgress(running);
    Clock::current().sleepFor(seconds(100));
    running.current = 11'811'160'064;
    sheet.showProgress(running);
    sheet.show();
    sheet.grab().save(prefix + "progress.png");
    DMProgressMessage finished = running;
    finished.status = DMProgressStatus::finished;
    finished.current = finished.total;
    sheet.showEndDetails(12'288, "");
    sheet.showProgress(finished);
    sheet.adjustSize();
    sheet.grab().save(prefix + "completed.png");

    // The daemon went away: no report for a while, and it no longer runs the clone.
    DMDeviceCloneProgressWndController silent(DMDeviceCloneWrapper::create(), presenter);
    silent.showProgress(running);
    silent.watchDaemon("disk8");
    Dispatch::main().runUntil([] { return false; }, seconds(60));
    silent.show();
    silent.adjustSize();
    silent.grab().save(prefix + "interrupted.png");
}

}  // namespace
}  // namespace harbormind
