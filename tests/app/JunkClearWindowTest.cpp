#include <gtest/gtest.h>

#include <QPushButton>
#include <QTreeWidget>

#include "AppTestSupport.h"
#include "CleaningWindowFakes.h"
#include "app/cleaning/CDCleanAlerts.h"
#include "app/cleaning/CDJunkClearItemView.h"
#include "app/cleaning/CDJunkClearViewController.h"
#include "app/cleaning/CDJunkFileView.h"
#include "app/cleaning/CDJunkMaskWindowController.h"
#include "cleaning/DMFileClearManager.h"
#include "cleaning/FolderTreeNode.h"
#include "cleaning/SelectMessage.h"
#include "cleaning/TempTree.h"
#include "testsupport/VirtualClockTest.h"

namespace harbormind {
namespace {

constexpr std::int64_t MiB = 1048576;

class JunkClearWindowTest : public test::VirtualClockTest {
protected:
    void SetUp() override {
        VirtualClockTest::SetUp();
        test::ensureApplication();
        home = tree.folder("home");
        users = std::make_unique<test::FixedHomeUsers>(home);
        manager = std::make_unique<DMFileClearManager>(&walker, &locations, users.get());
        tree.file("home/Library/Caches/app/a.bin", 2 * MiB);
        tree.file("home/Library/Caches/app/sub/b.bin", MiB);
        tree.file("home/Library/Developer/Xcode/DerivedData/ProjA/x.o", 2 * MiB);
        tree.file("home/Library/Developer/Xcode/DerivedData/build.log", 10);
        tree.file("home/Downloads/big.iso", 3 * MiB);
        tree.file("home/Library/Logs/x.log", MiB / 2);
    }
    void TearDown() override {
        view.reset();
        VirtualClockTest::TearDown();
    }

    void open() {
        view = std::make_unique<CDJunkClearViewController>(*manager, locations.categories(home), presenter, &workspace,
                                                           nullptr);
        view->resize(900, 560);
        view->show();
    }
    void scan() {
        view->start();
        ASSERT_TRUE(Dispatch::main().runUntil([this] { return !view->isBusy(); }, seconds(60)));
    }
    int categoryRow(const std::string& key) {
        for (int row = 0; row < view->itemView()->topLevelItemCount(); ++row) {
            if (view->itemView()->categoryAt(row)->strFolderName() == key) {
                return row;
            }
        }
        return -1;
    }
    std::vector<std::string> fileNames() {
        std::vector<std::string> names;
        for (int row = 0; row < view->fileView()->rowCount(); ++row) {
            names.emplace_back(view->fileView()->nodeAt(row)->strFolderName());
        }
        return names;
    }
    // Runs the main queue until the alert number `count` is shown.
    void waitForAlerts(std::size_t count) {
        ASSERT_TRUE(Dispatch::main().runUntil([&] { return presenter->shown.size() >= count; }, seconds(60)));
    }

    test::TempTree tree;
    std::string home;
    LinuxDirectoryWalker walker;
    test::HomeJunkLocations locations;
    std::unique_ptr<test::FixedHomeUsers> users;
    std::unique_ptr<DMFileClearManager> manager;
    std::shared_ptr<test::RecordingPresenter> presenter = std::make_shared<test::RecordingPresenter>();
    test::RecordingWorkspace workspace;
    std::unique_ptr<CDJunkClearViewController> view;
};

TEST_F(JunkClearWindowTest, ScanShowsLargeCategoriesMarksUserCacheAndClosesTheMaskAfterAFifthOfASecond) {
    open();
    view->start();
    EXPECT_TRUE(view->mask()->isVisible());
    EXPECT_EQ(view->mask()->stopButton()->text(), "Stop the scan");
    ASSERT_TRUE(Dispatch::main().runUntil([this] { return view->itemView()->root() != nullptr; }, seconds(60)));
    const double finishedAt = now();
    EXPECT_TRUE(view->mask()->isVisible());
    ASSERT_TRUE(Dispatch::main().runUntil([this] { return !view->mask()->isVisible(); }, seconds(5)));
    EXPECT_DOUBLE_EQ(now() - finishedAt, 0.2);

    // The logs (half a megabyte) stay under the filter.
    ASSERT_EQ(view->itemView()->topLevelItemCount(), 3);
    EXPECT_EQ(view->itemView()->topLevelItem(0)->text(0), "User Caches") << "the catalogue names the place";
    EXPECT_EQ(view->itemView()->topLevelItem(0)->text(1), "3.1 MB");
    EXPECT_EQ(view->itemView()->topLevelItem(0)->checkState(0), Qt::Checked);
    EXPECT_EQ(view->itemView()->topLevelItem(1)->text(0), "Xcode");
    EXPECT_EQ(view->itemView()->topLevelItem(2)->text(0), "Downloads");
    EXPECT_EQ(view->itemView()->topLevelItem(2)->checkState(0), Qt::Unchecked);
    EXPECT_EQ(view->statusText().toStdString(), CDCleanAlerts::statusLine(view->selection()));
    EXPECT_NE(view->statusText().toStdString().find("Size of the selected files: 3.1 MB"), std::string::npos);
}

TEST_F(JunkClearWindowTest, FileListShowsTheCategoryWithItsExplanationAndSortsByItsHeaders) {
    open();
    scan();
    view->itemView()->setCurrentItem(view->itemView()->topLevelItem(categoryRow("downloads")));
    EXPECT_TRUE(view->fileView()->explanation().startsWith("Whenever you download a file"));
    // A category of places lists the place itself.
    EXPECT_EQ(fileNames(), std::vector<std::string>{home + "/Downloads"});
    view->itemView()->setCurrentItem(view->itemView()->topLevelItem(categoryRow("xcode")));
    EXPECT_TRUE(view->fileView()->explanation().startsWith("When you use Xcode for development"));
    EXPECT_EQ(view->fileView()->list()->headerItem()->text(0), "File name");
    EXPECT_EQ(view->fileView()->list()->headerItem()->text(1), "Size");
    EXPECT_EQ(view->fileView()->list()->headerItem()->text(2), "Modified");
    ASSERT_EQ(fileNames().size(), 2u);

    view->fileView()->headerClicked(1);
    EXPECT_EQ(fileNames(), (std::vector<std::string>{"ProjA", "build.log"}));
    view->fileView()->headerClicked(1);
    EXPECT_EQ(fileNames(), (std::vector<std::string>{"build.log", "ProjA"}));
    view->fileView()->headerClicked(0);
    EXPECT_EQ(fileNames(), (std::vector<std::string>{"ProjA", "build.log"}));
    view->fileView()->headerClicked(0);
    EXPECT_EQ(fileNames(), (std::vector<std::string>{"build.log", "ProjA"}));
    EXPECT_EQ(view->fileView()->sortType(), SortType::fileReverseOrder);
    // The date column shows the file's time in the window's format.
    EXPECT_TRUE(QRegularExpression("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d$")
                    .match(view->fileView()->list()->topLevelItem(0)->text(2))
                    .hasMatch());
}

TEST_F(JunkClearWindowTest, MarkingAnEntryMakesItsCategoryMixedAndSelectAllMarksEverything) {
    open();
    scan();
    const int xcode = categoryRow("xcode");
    view->itemView()->setCurrentItem(view->itemView()->topLevelItem(xcode));
    view->fileView()->headerClicked(1);
    view->fileView()->list()->topLevelItem(0)->setCheckState(0, Qt::Checked);
    EXPECT_EQ(view->itemView()->topLevelItem(xcode)->checkState(0), Qt::PartiallyChecked);
    EXPECT_EQ(view->selection().totalSize, 5 * MiB);

    view->setSelectAll(true);
    EXPECT_EQ(view->itemView()->topLevelItem(xcode)->checkState(0), Qt::Checked);
    EXPECT_EQ(view->selection().totalSize, 8 * MiB + tree.onDisk("home/Library/Developer/Xcode/DerivedData/build.log"));
    view->setSelectAll(false);
    EXPECT_EQ(view->selection().fileCount, 0);
    EXPECT_NE(view->statusText().toStdString().find("Size of the selected files: 0 bytes"), std::string::npos);

    // Refresh starts over: the box goes off and only the user caches are marked again.
    view->setSelectAll(true);
    scan();
    EXPECT_EQ(view->itemView()->topLevelItem(categoryRow("downloads"))->checkState(0), Qt::Unchecked);
    EXPECT_EQ(view->itemView()->topLevelItem(categoryRow("userCache"))->checkState(0), Qt::Checked);
}

TEST_F(JunkClearWindowTest, CleanDeletesWhatIsMarkedAndKeepsTheUndeletableFileListedAndUnmarked) {
    open();
    scan();
    view->itemView()->setCurrentItem(view->itemView()->topLevelItem(categoryRow("xcode")));
    view->fileView()->headerClicked(1);
    view->fileView()->list()->topLevelItem(0)->setCheckState(0, Qt::Checked);
    // Another program puts a new file where the scanned one was: it is not what the user saw,
    // so it must not go.
    tree.replaceWithFile("home/Library/Caches/app/a.bin", 2 * MiB);

    view->clean();
    ASSERT_EQ(presenter->shown.size(), 1u);
    EXPECT_EQ(presenter->shown[0].alert.title,
              "Do you want to delete the selected folders and everything in them?");
    EXPECT_NE(presenter->shown[0].alert.text.find("The selected files and folders will be deleted and cannot be recovered."),
              std::string::npos);
    EXPECT_NE(presenter->shown[0].alert.text.find("5.2 MB (5242880 bytes) will be deleted."), std::string::npos);
    presenter->answer(0, 0);
    EXPECT_TRUE(view->mask()->isVisible());
    EXPECT_EQ(view->mask()->tip(), "Deleting...");
    EXPECT_FALSE(view->mask()->stopButton()->isVisible());
    EXPECT_EQ(view->statusText(), "Folders selected: 0   Files selected: 0   Size of the selected files: 0 bytes");
    waitForAlerts(2);
    EXPECT_EQ(presenter->shown[1].alert.title, "Some items could not be deleted");
    EXPECT_NE(presenter->shown[1].alert.text.find("Caches/app/a.bin: it changed after the scan"), std::string::npos)
        << presenter->shown[1].alert.text;
    EXPECT_EQ(presenter->shown[1].alert.buttons, std::vector<std::string>{"OK"});
    EXPECT_FALSE(view->mask()->isVisible());

    EXPECT_FALSE(tree.exists("home/Library/Developer/Xcode/DerivedData/ProjA"));
    EXPECT_TRUE(tree.exists("home/Library/Developer/Xcode/DerivedData/build.log"));
    EXPECT_TRUE(tree.exists("home/Downloads/big.iso"));
    EXPECT_FALSE(tree.exists("home/Library/Caches/app/sub"));
    EXPECT_TRUE(tree.exists("home/Library/Caches/app/a.bin"));
    // The cache category stays with the file that failed, unmarked.
    const int cache = categoryRow("userCache");
    ASSERT_GE(cache, 0);
    EXPECT_EQ(view->itemView()->topLevelItem(cache)->checkState(0), Qt::Unchecked);
    EXPECT_EQ(view->selection().fileCount, 0);

    // With nothing marked, "Clean" only says so.
    view->clean();
    ASSERT_EQ(presenter->shown.size(), 3u);
    EXPECT_EQ(presenter->shown[2].alert.title, "No folder or file is selected");
    EXPECT_EQ(presenter->shown[2].alert.text, "Please select the file or folder");
}

TEST_F(JunkClearWindowTest, CleanWithoutFailuresSaysSoAndCancelDeletesNothing) {
    open();
    scan();
    view->clean();
    presenter->answer(0, 1);
    EXPECT_TRUE(tree.exists("home/Library/Caches/app/a.bin"));
    EXPECT_FALSE(view->isBusy());
    view->clean();
    presenter->answer(1, 0);
    waitForAlerts(3);
    EXPECT_EQ(presenter->shown[2].alert.title, "Cleaning finished");
    EXPECT_FALSE(tree.exists("home/Library/Caches/app"));
    EXPECT_EQ(categoryRow("userCache"), -1);
}

TEST_F(JunkClearWindowTest, ShowInFinderRevealsTheEntryOrSaysItIsGone) {
    open();
    scan();
    view->itemView()->setCurrentItem(view->itemView()->topLevelItem(categoryRow("xcode")));
    view->fileView()->headerClicked(1);
    FolderTreeNode* entry = view->fileView()->nodeAt(1);
    const std::string path = entry->fullpath();
    view->showInFinder(entry);
    ASSERT_TRUE(Dispatch::main().runUntil([this] { return !workspace.requests().empty(); }, seconds(5)));
    Dispatch::main().runUntil([] { return false; }, seconds(1));
    EXPECT_EQ(workspace.requests().front(), "show " + path);
    EXPECT_TRUE(presenter->shown.empty());

    std::filesystem::remove(path);
    view->showInFinder(entry);
    waitForAlerts(1);
    EXPECT_EQ(presenter->shown[0].alert.title, "The files no longer exist; refresh the list.");
    EXPECT_EQ(presenter->shown[0].alert.buttons, std::vector<std::string>{"OK"});

    FolderTreeNode* folder = view->fileView()->nodeAt(0);
    std::filesystem::remove_all(folder->fullpath());
    view->showInFinder(folder);
    waitForAlerts(2);
    EXPECT_EQ(presenter->shown[1].alert.title, "The folders no longer exist; refresh the list.");
}

TEST_F(JunkClearWindowTest, StopTheScanShowsStoppingAndEndsWithWhatWasFound) {
    test::GatedWalker gated(2);
    manager = std::make_unique<DMFileClearManager>(&gated, &locations, users.get());
    open();
    view->start();
    ASSERT_TRUE(Dispatch::main().runUntil([&] { return gated.isHeld(); }, seconds(30)));
    view->mask()->stopButton()->click();
    EXPECT_EQ(view->mask()->stopButton()->text(), "Stopping...");
    gated.release();
    ASSERT_TRUE(Dispatch::main().runUntil([this] { return !view->isBusy(); }, seconds(60)));
    EXPECT_FALSE(view->mask()->isVisible());
    // The scan stopped in the caches: the developer folders and downloads were never listed.
    EXPECT_EQ(categoryRow("xcode"), -1);
    EXPECT_EQ(categoryRow("downloads"), -1);
}

}  // namespace
}  // namespace harbormind
