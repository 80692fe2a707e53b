#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <cstdlib>

#include "AppTestSupport.h"
#include "app/DMDeviceCloneFlow.h"
#include "app/DMDriveAction.h"
#include "app/DMDriveActionManager.h"
#include "drivemodel/DMCloneTexts.h"
#include "drivemodel/DMDeviceCloneWrapper.h"
#include "drivemodel/DMLocalDriveObject.h"
#include "support/Dispatch.h"
#include "testsupport/VirtualClockTest.h"
#include "xpc/InProcessXPCTransport.h"

namespace harbormind {
namespace {

using Array = PlatformValue::Array;

// Drive work for the clone flow: external roots, lookup by identifier and unmount.
class CloneOperations final : public DMDriveOperations {
public:
    bool isLocalDrive(const Drive&) override { return true; }
    DMDriveObjectFilesystem fileSystem(const Drive&) override { return DMDriveObjectFilesystem::unknown; }
    std::string name(const Drive& drive) override { return drive->identifier(); }
    int open(const Drive&) override { return 0; }
    int mount(const Drive&) override { return 0; }
    DMOperationResult unmount(const Drive& drive, DMUnmountOption) override {
        unmounted.push_back(drive->identifier());
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
    DMCloneDrive cloneDrive(const Drive& drive) override {
        return {drive, drive->identifier(), "Disk " + drive->identifier(), "externalDisk", 64'000'000'000};
    }
    Drive localDriveWithIdentifier(const std::string& identifier) override {
        for (const Drive& drive : known) {
            if (drive->identifier() == identifier) {
                return drive;
            }
        }
        return nullptr;
    }

    std::vector<Drive> roots;
    std::vector<Drive> known;
    std::vector<std::string> unmounted;
    std::vector<std::string> urls;
};

PlatformValue::Dictionary answers() {
    PlatformValue::Dictionary clone{
        {"checkDiskWithStrDestinDevice", PlatformValue::Dictionary{{"/dev/disk6", 4}, {"*", 0}}},
        {"isCloneInterruptDeviceWithStrDevice", PlatformValue::Dictionary{{"/dev/disk4", true}}},
        {"getCloneInterruptSourceDeviceUUIDWithStrDestinDevice",
         PlatformValue::Dictionary{{"/dev/disk4", "disk2"}}},
        {"updateProgressWithStatus",
         PlatformValue::Dictionary{{"/dev/rdisk5", Array{Array{3, 1000, 250, 0}, Array{4, 1000, 1000, 0}}}}},
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
        presenter = std::make_shared<test::RecordingPresenter>();
        actions = std::make_shared<DMDriveActionManager>(operations, presenter);
        for (const char* name : {"disk2", "disk4", "disk5", "disk6"}) {
            drives[name] = DMLocalDriveObject::create(name);
        }
        operations->known = {drives["disk2"], drives["disk4"], drives["disk5"], drives["disk6"]};
    }
    void TearDown() override {
        settle();
        XPCTransport::setCurrent(nullptr);
        VirtualClockTest::TearDown();
    }

    void settle() {
        Dispatch::main().runUntil([] { return false; }, seconds(2));
    }
    DMDeviceCloneFlow& flow() { return *actions->deviceCloneFlow(); }

    // Opens the picker for disk2 and starts a clone onto the candidate in `row`.
    void pickDestination(int row) {
        actions->perform(DMDriveAction::clone, drives["disk2"], nullptr);
        settle();
        ASSERT_NE(flow().deviceCloneWndController(), nullptr);
        flow().deviceCloneWndController()->selectRow(row);
        flow().deviceCloneWndController()->btnStartClone->click();
        settle();
    }
    std::vector<InProcessDaemonCall> cloneRequests() const {
        std::vector<InProcessDaemonCall> result;
        for (const auto& call : daemon->calls()) {
            if (call.method == "clonDeviceWithStrDestinDevice") {
                result.push_back(call);
            }
        }
        return result;
    }

    std::shared_ptr<InProcessDaemon> daemon;
    std::shared_ptr<CloneOperations> operations;
    std::shared_ptr<test::RecordingPresenter> presenter;
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

TEST_F(DeviceCloneTest, AFreshCloneRunsToCompletionOnTheProgressSheet) {
    operations->roots = {drives["disk2"], drives["disk5"], drives["disk4"]};
    presenter->answers = {0};  // confirm the overwrite warning
    actions->perform(DMDriveAction::clone, drives["disk2"], nullptr);
    settle();
    auto* picker = flow().deviceCloneWndController();
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(picker->size(), QSize(640, 450));
    EXPECT_EQ(picker->outlineView()->count(), 2);  // the source is not offered
    EXPECT_FALSE(picker->btnStartClone->isEnabled());
    picker->selectRow(0);
    picker->btnStartClone->click();
    settle();

    EXPECT_EQ(presenter->titles(), std::vector<std::string>{DMCloneTexts::overwriteWarning});
    ASSERT_EQ(cloneRequests().size(), 1u);
    EXPECT_EQ(cloneRequests()[0].arguments,
              (std::vector<std::string>{"/dev/rdisk5", "/dev/rdisk2", "false"}));
    EXPECT_EQ(operations->unmounted, std::vector<std::string>{"disk5"});
    auto* sheet = flow().deviceCloneProgressWndController();
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->lbTitle->text().toStdString(), DMCloneTexts::completed);
    EXPECT_EQ(sheet->lbCloneSize->text().toStdString(), "1000 : 1000 ");
    EXPECT_FALSE(sheet->btnCancel->isVisible());
    EXPECT_TRUE(sheet->btnFinish->isVisible());
}

TEST_F(DeviceCloneTest, AnInterruptedDestinationRestartsOrResumesFromItsRecordedSource) {
    operations->roots = {drives["disk2"], drives["disk4"]};
    presenter->answers = {0, 0};  // confirm, then "Continue"
    pickDestination(0);
    EXPECT_EQ(presenter->titles(),
              (std::vector<std::string>{DMCloneTexts::overwriteWarning, DMCloneTexts::interrupted}));
    EXPECT_EQ(presenter->shown[1].alert.buttons,
              (std::vector<std::string>{DMCloneTexts::continueButton, DMCloneTexts::resumeClone,
                                        DMCloneTexts::cancel}));
    ASSERT_EQ(cloneRequests().size(), 1u);
    EXPECT_EQ(cloneRequests()[0].arguments, (std::vector<std::string>{"/dev/rdisk4", "/dev/rdisk2", "true"}));

    // Resume from the destination's menu: the recorded source disk2 is found.
    daemon->clearCalls();
    actions->perform(DMDriveAction::resumeClone, drives["disk4"], nullptr);
    settle();
    ASSERT_EQ(cloneRequests().size(), 1u);
    EXPECT_EQ(cloneRequests()[0].arguments,
              (std::vector<std::string>{"/dev/rdisk4", "/dev/rdisk2", "false"}));

    // The recorded source is not attached; a destination without a record.
    operations->known = {drives["disk4"]};
    actions->perform(DMDriveAction::resumeClone, drives["disk4"], nullptr);
    settle();
    actions->perform(DMDriveAction::resumeClone, drives["disk5"], nullptr);
    settle();
    auto titles = presenter->titles();
    ASSERT_GE(titles.size(), 2u);
    EXPECT_EQ(titles[titles.size() - 2], DMCloneTexts::insertSource);
    EXPECT_EQ(titles.back(), DMCloneTexts::sourceUuidEmpty);
}

TEST_F(DeviceCloneTest, APairCheckRefusalShowsItsTextAndStartsNothing) {
    operations->roots = {drives["disk2"], drives["disk6"]};
    presenter->answers = {0};
    pickDestination(0);
    EXPECT_EQ(presenter->titles().back(), " Not enough space on destination device.");
    EXPECT_TRUE(cloneRequests().empty());
    EXPECT_EQ(flow().deviceCloneProgressWndController(), nullptr);

    presenter->answers = {1};  // the overwrite warning's "Cancel"
    pickDestination(0);
    EXPECT_TRUE(cloneRequests().empty());
}

TEST_F(DeviceCloneTest, ProgressSheetShowsBytesAndCancelStopsTheClone) {
    auto wrapper = DMDeviceCloneWrapper::create();
    DMDeviceCloneProgressWndController sheet(wrapper, presenter);
    DMProgressMessage running;
    running.status = DMProgressStatus::running;
    running.total = 5'000'000'000;
    running.current = 1'234'567'890;
    sheet.showProgress(running);
    EXPECT_EQ(sheet.progress->value(), 247);  // 0.2469… rounded to thousandths
    EXPECT_EQ(sheet.lbCloneSize->text().toStdString(), "1234567890 : 5000000000 ");
    EXPECT_EQ(sheet.lbTitle->text().toStdString(), DMCloneTexts::cloning);

    DMProgressMessage vanished = running;
    vanished.status = DMProgressStatus::finished;
    vanished.error = DMProgressError::eErrorSourceStroageDisapper;
    sheet.showProgress(vanished);
    EXPECT_EQ(presenter->titles(), std::vector<std::string>{DMCloneTexts::sourceMissing});
    EXPECT_NE(sheet.lbTitle->text().toStdString(), DMCloneTexts::completed);
    vanished.error = DMProgressError::eErrorDestinStroageDisapper;
    sheet.showProgress(vanished);
    EXPECT_EQ(presenter->titles().back(), DMCloneTexts::destinationMissing);

    sheet.show();
    sheet.btnCancel->click();
    settle();
    EXPECT_FALSE(sheet.isVisible());
    ASSERT_FALSE(daemon->calls().empty());
    EXPECT_EQ(daemon->calls().back(), (InProcessDaemonCall{"deviceClone", "stopCloneWithFlag", {"true"}}));
}

void saveScreenshots(const QString& prefix, const std::shared_ptr<DMAlertPresenter>& presenter);

// HARBORMIND_SCREENSHOTS=FOLDER saves pictures of the picker and the progress sheet.
TEST_F(DeviceCloneTest, Screenshots) {
    const char* folder = std::getenv("HARBORMIND_SCREENSHOTS");
    if (folder == nullptr) {
        GTEST_SKIP() << "HARBORMIND_SCREENSHOTS is not set";
    }
    for (bool dark : {false, true}) {
        QPalette palette = QApplication::style()->standardPalette();
        if (dark) {
            palette.setColor(QPalette::Window, QColor(0x2b, 0x2b, 0x2b));
            palette.setColor(QPalette::WindowText, Qt::white);
            palette.setColor(QPalette::Base, QColor(0x1e, 0x1e, 0x1e));
            palette.setColor(QPalette::Text, Qt::white);
            palette.setColor(QPalette::Button, QColor(0x3c, 0x3c, 0x3c));
            palette.setColor(QPalette::ButtonText, Qt::white);
        }
        QApplication::setPalette(palette);
        saveScreenshots(QString(folder) + (dark ? "/clone-dark-" : "/clone-"), presenter);
    }
    QApplication::setPalette(QApplication::style()->standardPalette());
}

void saveScreenshots(const QString& prefix, const std::shared_ptr<DMAlertPresenter>& presenter) {
    DMCloneDrive source{nullptr, "sdb", "SanDisk Ultra", "externalDisk", 32'010'928'128};
    DMDeviceCloneWndController picker(source,
                                      {{nullptr, "sdc", "Samsung T7", "externalDisk", 500'107'862'016},
                                       {nullptr, "sdd", "WD Elements", "externalDisk", 2'000'365'289'472}},
                                      nullptr);
    picker.selectRow(0);
    picker.show();
    picker.grab().save(prefix + "picker.png");
    DMDeviceCloneProgressWndController sheet(nullptr, presenter);
    DMProgressMessage running;
    running.status = DMProgressStatus::running;
    running.total = 32'010'928'128;
    running.current = 11'811'160'064;
    sheet.showProgress(running);
    sheet.show();
    sheet.grab().save(prefix + "progress.png");
}

}  // namespace
}  // namespace harbormind
