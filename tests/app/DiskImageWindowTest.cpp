#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <filesystem>
#include <fstream>

#include "DiskToolsWindowFixture.h"
#include "app/disktools/DMDiskImageFlow.h"

namespace harbormind {
namespace {

namespace fs = std::filesystem;

class DiskImageWindowTest : public test::DiskToolsWindowFixture {
protected:
    void SetUp() override {
        DiskToolsWindowFixture::SetUp();
        folder = fs::temp_directory_path() / ("hm-image-window-" + std::to_string(::getpid()));
        fs::create_directories(folder);
    }
    void TearDown() override {
        DiskToolsWindowFixture::TearDown();
        std::error_code error;
        fs::remove_all(folder, error);
    }
    void settleFlows() {
        settle(0.2);
        Dispatch::main().runUntil([] { return DMDiskImageFlow::pending() == 0; }, seconds(10));
        QApplication::processEvents();
    }
    DMDiskImageWindowController* open(const std::string& disk, bool create) {
        EXPECT_NE(select(disk), nullptr);
        create ? controller->createDiskImage_click() : controller->restoreDiskImage_click();
        settleFlows();
        return controller->diskImageFlow()->windowController();
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

    fs::path folder;
};

TEST_F(DiskImageWindowTest, CreatingAnImageWritesTheUsersOwnFileAndFollowsTheCopyToItsEnd) {
    start();
    DMDiskImageWindowController* sheet = open("disk4", true);
    ASSERT_NE(sheet, nullptr);
    EXPECT_FALSE(sheet->btnGo()->isEnabled());
    const fs::path file = folder / "stick.img";
    sheet->tfFile()->setText(QString::fromStdString(file.string()));
    sheet->cbCompress()->setChecked(true);
    EXPECT_EQ(sheet->tfFile()->text().toStdString(), file.string() + ".zst");
    shot(*sheet, "create-disk-image");
    sheet->btnGo()->click();
    settleFlows();

    auto created = callsOf("createDiskImageWithBsdname");
    ASSERT_EQ(created.size(), 1u);
    EXPECT_EQ(created[0].arguments, (std::vector<std::string>{"disk4", "true"}));
    // The volume was unmounted first, and the file is the user's, readable by them only.
    EXPECT_FALSE(platform->description("disk4s1")->text("DAVolumePath").has_value());
    ASSERT_TRUE(fs::exists(file.string() + ".zst"));
    EXPECT_EQ(fs::status(file.string() + ".zst").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_FALSE(sheet->isWorking());
    EXPECT_EQ(sheet->lbStatus()->text().toStdString(),
              "The image is made; it takes 1.29 GB. 4 KB could not be read and were written as zeros.");
    EXPECT_EQ(sheet->btnCancel()->text().toStdString(), "Done");
    shot(*sheet, "create-disk-image-done");
}

TEST_F(DiskImageWindowTest, ARestoreIsCheckedThenAskedAboutNamingTheDriveWithCancelFirst) {
    start();
    const fs::path file = folder / "backup.img";
    std::ofstream(file) << "image";

    DMDiskImageWindowController* tooSmall = open("disk5", false);
    ASSERT_NE(tooSmall, nullptr);
    tooSmall->tfFile()->setText(QString::fromStdString(file.string()));
    tooSmall->btnGo()->click();
    settleFlows();
    ASSERT_EQ(presenter->titles(), std::vector<std::string>{"The disk image could not be restored"});
    EXPECT_NE(presenter->shown[0].alert.informativeText.find("is smaller than the disk in the image"),
              std::string::npos);
    EXPECT_TRUE(callsOf("restoreDiskImageWithBsdname").empty());
    tooSmall->close();

    DMDiskImageWindowController* sheet = open("disk4", false);
    ASSERT_NE(sheet, nullptr);
    sheet->tfFile()->setText(QString::fromStdString(file.string()));
    shot(*sheet, "restore-disk-image");
    presenter->answers = {0};
    sheet->btnGo()->click();
    settleFlows();
    ASSERT_EQ(presenter->shown.size(), 2u);
    EXPECT_EQ(presenter->shown[1].alert.title, "Restore the image onto “SanDisk Ultra Media” (disk4, 30.75 GB)?");
    EXPECT_EQ(presenter->shown[1].alert.buttons, (std::vector<std::string>{"Cancel", "Restore"}));
    EXPECT_EQ(presenter->shown[1].alert.escapeButton, 0u);
    EXPECT_TRUE(callsOf("restoreDiskImageWithBsdname").empty());

    presenter->answers = {1};
    sheet->btnGo()->click();
    settleFlows();
    EXPECT_EQ(callsOf("restoreDiskImageWithBsdname").size(), 1u);
    EXPECT_FALSE(sheet->isWorking());
}

}  // namespace
}  // namespace harbormind
