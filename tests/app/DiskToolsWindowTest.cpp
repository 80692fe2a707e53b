#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include "DiskToolsWindowFixture.h"
#include "app/drives/DMDriveActionManager.h"
#include "app/widgets/DMMacDockView.h"
#include "app/disktools/DMDiskToolsFlow.h"

namespace harbormind {
namespace {

class DiskToolsWindowTest : public test::DiskToolsWindowFixture {
protected:
    DMDiskToolsFlow& flow() { return *controller->driveActionManager()->diskToolsFlow(); }
    void settleFlows() {
        settle(0.2);
        Dispatch::main().runUntil([] { return DMDiskToolsFlow::pending() == 0; }, seconds(10));
        QApplication::processEvents();
    }
    void click(const std::string& disk, const std::string& item) {
        DMBaseViewController* view = select(disk);
        ASSERT_NE(view, nullptr);
        ASSERT_TRUE(view->actionBar()->isEnabled(item)) << item;
        view->actionBar()->button(item)->click();
        settleFlows();
    }
    std::vector<InProcessDaemonCall> callsOf(const std::string& method) {
        std::vector<InProcessDaemonCall> found;
        for (const auto& call : daemon->calls()) {
            if (call.method == method) {
                found.push_back(call);
            }
        }
        return found;
    }
    void shot(QWidget& widget, const std::string& name) {
        if (const char* directory = std::getenv("HARBORMIND_SCREENSHOT_DIR")) {
            QApplication::processEvents();
            widget.grab().save(QString::fromUtf8(directory) + "/" + QString::fromStdString(name) + ".png");
        }
    }
};

TEST_F(DiskToolsWindowTest, EraseNamesWhatWillBeLostChecksTheNameAndAsksBeforeAnythingIsWritten) {
    start();
    click("disk4", "Erase...");
    DMEraseWindowController* sheet = flow().eraseWindowController();
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->target().identifier, "disk4");
    EXPECT_TRUE(sheet->target().wholeDisk);
    sheet->selectFileSystem(DMEraseFileSystem::exfat);
    sheet->tfName()->setText("a/b");
    EXPECT_EQ(sheet->problem(), "An exFAT name cannot contain /.");
    EXPECT_FALSE(sheet->btnErase()->isEnabled());
    sheet->tfName()->setText("Camera");
    EXPECT_TRUE(sheet->btnErase()->isEnabled());
    shot(*sheet, "erase");
    sheet->selectFileSystem(DMEraseFileSystem::luks2Ext4);
    EXPECT_EQ(sheet->problem(), "An encrypted volume needs a password.");
    sheet->tfPassword()->setText("secret");
    sheet->tfPasswordAgain()->setText("secret");
    shot(*sheet, "erase-encrypted");
    sheet->selectFileSystem(DMEraseFileSystem::fat32);
    sheet->tfName()->setText("stick");

    // Cancel is the first answer: nothing reaches the daemon.
    presenter->answers = {0};
    sheet->btnErase()->click();
    settleFlows();
    ASSERT_EQ(presenter->titles(), std::vector<std::string>{"Erase “SanDisk Ultra Media” (disk4, 30.75 GB)?"});
    EXPECT_EQ(presenter->shown[0].alert.text,
              "It holds STICK (disk4s1, mounted at /Volumes/STICK). Everything on it will be lost; mounted volumes "
              "are unmounted first.");
    EXPECT_EQ(presenter->shown[0].alert.buttons, (std::vector<std::string>{"Cancel", "Erase"}));
    EXPECT_TRUE(callsOf("eraseWithBsdname").empty());

    presenter->answers = {1};
    sheet->btnErase()->click();
    settleFlows();
    auto erased = callsOf("eraseWithBsdname");
    ASSERT_EQ(erased.size(), 1u);
    EXPECT_EQ(erased[0].arguments, (std::vector<std::string>{"disk4", "fat32", "STICK", ""}));
    // The volume was unmounted before the erase.
    EXPECT_FALSE(platform->description("disk4s1")->text("DAVolumePath").has_value());
    EXPECT_EQ(flow().eraseWindowController(), nullptr);
    EXPECT_EQ(presenter->shown.size(), 2u);
}

TEST_F(DiskToolsWindowTest, AFailedEraseShowsTheDaemonsReason) {
    start();
    click("disk5s1", "Erase...");
    DMEraseWindowController* sheet = flow().eraseWindowController();
    ASSERT_NE(sheet, nullptr);
    EXPECT_FALSE(sheet->target().wholeDisk);
    // The scenario answers no erase of disk5s1 but the "*" entry: make it fail.
    presenter->answers = {1, 0};
    platform->setBusy("disk5s1", true);
    sheet->btnErase()->click();
    settleFlows();
    ASSERT_EQ(presenter->shown.size(), 2u);
    EXPECT_EQ(presenter->shown[1].alert.title, "The drive could not be erased");
    EXPECT_FALSE(presenter->shown[1].alert.informativeText.empty());
    EXPECT_TRUE(callsOf("eraseWithBsdname").empty());
}

TEST_F(DiskToolsWindowTest, ANewPartitionGoesIntoTheFreeSpaceChosen) {
    start();
    click("disk5", "New Partition...");
    DMNewPartitionWindowController* sheet = flow().newPartitionWindowController();
    ASSERT_NE(sheet, nullptr);
    ASSERT_EQ(sheet->pbRegion()->count(), 1);
    sheet->sbSizeMB()->setValue(1000);
    sheet->pbFileSystem()->setCurrentIndex(sheet->pbFileSystem()->findData(static_cast<int>(DMEraseFileSystem::ntfs)));
    sheet->tfName()->setText("Shared");
    shot(*sheet, "new-partition");
    sheet->btnCreate()->click();
    settleFlows();
    auto created = callsOf("createPartitionWithBsdname");
    ASSERT_EQ(created.size(), 1u);
    // 1000 MB is 953 whole MiB, right after the first partition.
    EXPECT_EQ(created[0].arguments,
              (std::vector<std::string>{"disk5", "1000205189120", std::to_string(953LL << 20), "ntfs", "Shared", ""}));
}

TEST_F(DiskToolsWindowTest, DeletingAPartitionAsksFirst) {
    start();
    presenter->answers = {1};
    click("disk5s1", "Delete...");
    ASSERT_EQ(presenter->titles().size(), 1u);
    EXPECT_EQ(presenter->titles()[0].rfind("Delete the partition “ELEMENTS” (disk5s1,", 0), 0u);
    settleFlows();
    ASSERT_EQ(callsOf("deletePartitionWithBsdname").size(), 1u);
}

}  // namespace
}  // namespace harbormind
