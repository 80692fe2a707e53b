#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>

#include "AppTestSupport.h"
#include "CleaningWindowFakes.h"
#include "app/cleaning/CDCleanAlerts.h"
#include "app/cleaning/CDDriveClearFileTreeView.h"
#include "app/cleaning/CDDriveClearStatuBarView.h"
#include "app/cleaning/CDDriveClearTreeModel.h"
#include "cleaning/DMDeleteFaileRecord.h"
#include "app/cleaning/CDDriveClearViewController.h"
#include "app/cleaning/CDDriveMaskWindowController.h"
#include "app/cleaning/CDFileMessageShowView.h"
#include "cleaning/DMFileScanManager.h"
#include "cleaning/FolderTreeNode.h"
#include "cleaning/TempTree.h"
#include "testsupport/VirtualClockTest.h"

namespace harbormind {
namespace {

class DriveClearWindowTest : public test::VirtualClockTest {
protected:
    void SetUp() override {
        VirtualClockTest::SetUp();
        test::ensureApplication();
        top = tree.folder("drive");
        tree.file("drive/d1/f1", 100);
        tree.file("drive/d1/f2", 200);
        tree.file("drive/d2/sub/f3", 400);
        tree.file("drive/f4", 50);
    }
    void TearDown() override {
        view.reset();
        VirtualClockTest::TearDown();
    }

    void open(DirectoryWalker& scanned) {
        manager = std::make_unique<DMFileScanManager>(&scanned);
        view = std::make_unique<CDDriveClearViewController>(*manager, presenter, &workspace, nullptr);
        view->resize(940, 600);
        view->show();
    }
    void scan() {
        view->start(top);
        ASSERT_TRUE(Dispatch::main().runUntil([this] { return !view->isBusy(); }, seconds(60)));
    }
    CDDriveClearTreeModel* model() { return view->fileTreeOutlineView()->treeModel(); }
    QModelIndex topIndex() { return model()->index(0, 0, {}); }
    std::vector<std::string> namesUnder(const QModelIndex& parent) {
        std::vector<std::string> names;
        for (int row = 0; row < model()->rowCount(parent); ++row) {
            names.push_back(model()->data(model()->index(row, 0, parent), Qt::DisplayRole).toString().toStdString());
        }
        return names;
    }
    FolderTreeNode* child(const std::string& name, const QModelIndex& parent) {
        for (int row = 0; row < model()->rowCount(parent); ++row) {
            FolderTreeNode* node = model()->nodeAt(model()->index(row, 0, parent));
            if (node->strFolderName() == name) {
                return node;
            }
        }
        return nullptr;
    }
    void setChecked(FolderTreeNode* node, Qt::CheckState state) {
        model()->setData(model()->indexOf(node), state, Qt::CheckStateRole);
    }
    Qt::CheckState checkState(const FolderTreeNode* node) {
        return static_cast<Qt::CheckState>(model()->data(model()->indexOf(node), Qt::CheckStateRole).toInt());
    }
    void waitForAlerts(std::size_t count) {
        ASSERT_TRUE(Dispatch::main().runUntil([&] { return presenter->shown.size() >= count; }, seconds(60)));
    }

    test::TempTree tree;
    std::string top;
    LinuxDirectoryWalker walker;
    std::unique_ptr<DMFileScanManager> manager;
    std::shared_ptr<test::RecordingPresenter> presenter = std::make_shared<test::RecordingPresenter>();
    test::RecordingWorkspace workspace;
    std::unique_ptr<CDDriveClearViewController> view;
};

TEST_F(DriveClearWindowTest, ScanShowsThePathTheTipAndATreeFetchedOnlyWhereOpened) {
    open(walker);
    view->start(top);
    EXPECT_EQ(view->searchEdit()->text().toStdString(), top);
    EXPECT_TRUE(view->maskWindows()->isVisible());
    EXPECT_EQ(view->maskWindows()->tip().toStdString(), "Searching for files in the directory of " + top);
    EXPECT_EQ(view->maskWindows()->stopButton()->text(), "Stop the scan");
    ASSERT_TRUE(Dispatch::main().runUntil([this] { return !view->isBusy(); }, seconds(60)));
    EXPECT_FALSE(view->maskWindows()->isVisible());

    ASSERT_EQ(model()->rowCount({}), 1);
    EXPECT_EQ(model()->data(topIndex(), Qt::DisplayRole).toString().toStdString(), top);
    EXPECT_EQ(model()->data(model()->index(0, 1, {}), Qt::DisplayRole).toString(), "750 bytes");
    // Folders first, then files; the top is open, the folders below it are not fetched yet.
    ASSERT_EQ(model()->rowCount(topIndex()), 3);
    EXPECT_EQ(namesUnder(topIndex()).back(), "f4");
    FolderTreeNode* d2 = child("d2", topIndex());
    ASSERT_NE(d2, nullptr);
    EXPECT_TRUE(model()->hasChildren(model()->indexOf(d2)));
    EXPECT_EQ(model()->rowCount(model()->indexOf(d2)), 0);
    EXPECT_TRUE(view->fileTreeOutlineView()->expandNode(d2));
    EXPECT_EQ(namesUnder(model()->indexOf(d2)), std::vector<std::string>{"sub"});
    EXPECT_EQ(view->statusBarView()->status(), "Folders selected: 0   Files selected: 0   Size of the selected files: 0 bytes");
}

TEST_F(DriveClearWindowTest, HeadersSortEveryOpenFolderAndDatesAreShownInTheWindowFormat) {
    open(walker);
    scan();
    FolderTreeNode* d2 = child("d2", topIndex());
    view->fileTreeOutlineView()->expandNode(d2);
    view->fileTreeOutlineView()->headerClicked(0);
    EXPECT_EQ(namesUnder(topIndex()), (std::vector<std::string>{"d1", "d2", "f4"}));
    view->fileTreeOutlineView()->headerClicked(0);
    EXPECT_EQ(namesUnder(topIndex()), (std::vector<std::string>{"f4", "d2", "d1"}));
    view->fileTreeOutlineView()->headerClicked(1);
    EXPECT_EQ(namesUnder(topIndex()), (std::vector<std::string>{"d2", "d1", "f4"}));
    view->fileTreeOutlineView()->headerClicked(1);
    EXPECT_EQ(namesUnder(topIndex()), (std::vector<std::string>{"f4", "d1", "d2"}));
    EXPECT_EQ(view->fileTreeOutlineView()->sortType(), SortType::sizeReverseOrder);
    // The folder opened before sorting is open again.
    EXPECT_TRUE(view->fileTreeOutlineView()->isExpanded(model()->indexOf(d2)));
    const QString date = model()->data(model()->index(0, 2, topIndex()), Qt::DisplayRole).toString();
    EXPECT_TRUE(QRegularExpression("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d$").match(date).hasMatch()) << date.toStdString();
    EXPECT_EQ(model()->nodeAt(model()->index(0, 0, topIndex()))->ModificationDate(), date.toStdString());
}

TEST_F(DriveClearWindowTest, DetailsPaneShowsTheSelectedEntryAndOpensIt) {
    open(walker);
    scan();
    FolderTreeNode* d1 = child("d1", topIndex());
    view->fileTreeOutlineView()->setCurrentIndex(model()->indexOf(d1));
    QStringList lines = view->fileInfoView()->lines();
    ASSERT_EQ(lines.size(), 7) << lines.join("|").toStdString();
    EXPECT_EQ(lines[0], "File names: d1");
    EXPECT_EQ(lines[1], "Size: 300 bytes");
    EXPECT_EQ(lines[2].toStdString(), "Path: " + top + "/d1");
    QRegularExpression time("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d$");
    EXPECT_TRUE(lines[3].startsWith("Created: "));
    EXPECT_TRUE(time.match(lines[4].mid(QString("Modified: ").size())).hasMatch()) << lines[4].toStdString();
    EXPECT_EQ(lines[5], "Folders: 0");
    EXPECT_EQ(lines[6], "Files: 2");
    EXPECT_EQ(view->fileInfoView()->btnOpenFinder()->text(), "Open");
    EXPECT_EQ(view->fileInfoView()->btnRemove()->text(), "Delete");

    view->fileInfoView()->btnOpenFinder()->click();
    ASSERT_TRUE(Dispatch::main().runUntil([this] { return !workspace.requests().empty(); }, seconds(5)));
    EXPECT_EQ(workspace.requests().front(), "folder " + top + "/d1");

    // A file shows no counts and opens through its own handler.
    view->fileTreeOutlineView()->setCurrentIndex(model()->indexOf(child("f4", topIndex())));
    EXPECT_EQ(view->fileInfoView()->lines().size(), 5);
    view->fileInfoView()->btnOpenFinder()->click();
    ASSERT_TRUE(Dispatch::main().runUntil([this] { return workspace.requests().size() == 2; }, seconds(5)));
    EXPECT_EQ(workspace.requests().back(), "url file://" + top + "/f4");
}

TEST_F(DriveClearWindowTest, MarksPropagateAndCleanKeepsTheFileThatCannotGoListedAndUnmarked) {
    open(walker);
    scan();
    FolderTreeNode* d1 = child("d1", topIndex());
    FolderTreeNode* f4 = child("f4", topIndex());
    FolderTreeNode* topNode = model()->nodeAt(topIndex());
    setChecked(d1, Qt::Checked);
    EXPECT_EQ(checkState(topNode), Qt::PartiallyChecked);
    EXPECT_EQ(view->statusBarView()->status(), "Folders selected: 1   Files selected: 2   Size of the selected files: 300 bytes");
    view->fileTreeOutlineView()->expandNode(d1);
    EXPECT_EQ(checkState(child("f1", model()->indexOf(d1))), Qt::Checked);
    setChecked(f4, Qt::Checked);
    tree.replaceWithFile("drive/f4", 50);

    view->statusBarView()->cleanButton()->click();
    ASSERT_EQ(presenter->shown.size(), 1u);
    EXPECT_EQ(presenter->shown[0].alert.title,
              "Do you want to delete the selected folders and everything in them?");
    EXPECT_NE(presenter->shown[0].alert.text.find("1 folders, 3 files, 350 bytes will be deleted."),
              std::string::npos)
        << presenter->shown[0].alert.text;
    EXPECT_EQ(presenter->shown[0].alert.buttons, (std::vector<std::string>{"OK", "Cancel"}));
    presenter->answer(0, 0);
    EXPECT_EQ(view->maskWindows()->tip(), "Deleting...");
    EXPECT_FALSE(view->maskWindows()->stopButton()->isVisible());
    waitForAlerts(2);
    // What went, and what stayed with its reason.
    EXPECT_EQ(presenter->shown[1].alert.title, "Some items could not be deleted");
    const std::string& report = presenter->shown[1].alert.text;
    EXPECT_EQ(report.rfind("Deleted 2 files and 1 folders (", 0), 0u) << report;
    EXPECT_NE(report.find("Not deleted (1):\n"), std::string::npos) << report;
    EXPECT_NE(report.find("drive/f4: it changed after the scan"), std::string::npos) << report;

    EXPECT_FALSE(tree.exists("drive/d1"));
    EXPECT_TRUE(tree.exists("drive/f4"));
    EXPECT_TRUE(tree.exists("drive/d2/sub/f3"));
    EXPECT_EQ(namesUnder(topIndex()), (std::vector<std::string>{"d2", "f4"}));
    EXPECT_EQ(checkState(child("f4", topIndex())), Qt::Unchecked);
    EXPECT_EQ(checkState(model()->nodeAt(topIndex())), Qt::Unchecked);

    view->statusBarView()->cleanButton()->click();
    ASSERT_EQ(presenter->shown.size(), 3u);
    EXPECT_EQ(presenter->shown[2].alert.title, "No folder or file is selected");
}

TEST_F(DriveClearWindowTest, AMarkOnALargeFolderIsCountedAtOnceAndReachesEveryEntryInSteps) {
    open(walker);
    scan();
    const std::int64_t step = CDDriveClearFileTreeView::spreadStep;
    CDDriveClearFileTreeView::spreadStep = 2;
    FolderTreeNode* topNode = model()->nodeAt(topIndex());
    FolderTreeNode* d2 = child("d2", topIndex());
    FolderTreeNode* f3 = d2->childs.front()->childs.front();
    setChecked(topNode, Qt::Checked);
    EXPECT_TRUE(view->fileTreeOutlineView()->isSpreading());
    EXPECT_EQ(view->statusBarView()->status(), "Folders selected: 4   Files selected: 4   Size of the selected files: 750 bytes");
    EXPECT_EQ(f3->selectStatus, FolderTreeNode::statusKept);
    ASSERT_TRUE(Dispatch::main().runUntil([this] { return !view->fileTreeOutlineView()->isSpreading(); }, seconds(5)));
    EXPECT_EQ(f3->selectStatus, FolderTreeNode::statusMarked);

    // Unmarking, then marking one folder before the first change is through: the first change
    // is finished first, so nothing of it is left behind.
    setChecked(topNode, Qt::Unchecked);
    setChecked(d2, Qt::Checked);
    EXPECT_FALSE(view->fileTreeOutlineView()->isSpreading());
    EXPECT_EQ(child("f4", topIndex())->selectStatus, FolderTreeNode::statusKept);
    EXPECT_EQ(f3->selectStatus, FolderTreeNode::statusMarked);
    EXPECT_EQ(checkState(topNode), Qt::PartiallyChecked);
    CDDriveClearFileTreeView::spreadStep = step;
}

TEST_F(DriveClearWindowTest, RowsShownBelowASpreadingMarkShowItAtOnceAndAChangeAboveTakesItOver) {
    open(walker);
    scan();
    const std::int64_t step = CDDriveClearFileTreeView::spreadStep;
    CDDriveClearFileTreeView::spreadStep = 1;
    CDDriveClearFileTreeView* treeView = view->fileTreeOutlineView();
    FolderTreeNode* topNode = model()->nodeAt(topIndex());
    FolderTreeNode* d1 = child("d1", topIndex());
    FolderTreeNode* d2 = child("d2", topIndex());
    ASSERT_TRUE(treeView->expandNode(d1));
    setChecked(topNode, Qt::Checked);
    ASSERT_TRUE(treeView->isSpreading());
    EXPECT_EQ(checkState(child("f1", model()->indexOf(d1))), Qt::Checked);
    EXPECT_EQ(checkState(child("f4", topIndex())), Qt::Checked);
    // A folder opened while the mark is on its way shows it too.
    ASSERT_TRUE(treeView->expandNode(d2));
    FolderTreeNode* sub = child("sub", model()->indexOf(d2));
    EXPECT_EQ(checkState(sub), Qt::Checked);
    EXPECT_EQ(sub->childs.front()->selectStatus, FolderTreeNode::statusKept);

    // Unmarking the top overrides what was left of the mark instead of finishing it first.
    setChecked(topNode, Qt::Unchecked);
    EXPECT_TRUE(treeView->isSpreading());
    EXPECT_EQ(checkState(sub), Qt::Unchecked);
    EXPECT_EQ(checkState(topNode), Qt::Unchecked);
    EXPECT_EQ(view->statusBarView()->status(), "Folders selected: 0   Files selected: 0   Size of the selected files: 0 bytes");
    ASSERT_TRUE(Dispatch::main().runUntil([treeView] { return !treeView->isSpreading(); }, seconds(5)));
    EXPECT_EQ(sub->childs.front()->selectStatus, FolderTreeNode::statusKept);
    EXPECT_EQ(d1->childs.front()->selectStatus, FolderTreeNode::statusKept);
    CDDriveClearFileTreeView::spreadStep = step;
}

TEST_F(DriveClearWindowTest, DeleteInTheDetailsPaneDeletesOnlyThatEntry) {
    open(walker);
    scan();
    setChecked(child("f4", topIndex()), Qt::Checked);
    FolderTreeNode* d2 = child("d2", topIndex());
    view->fileTreeOutlineView()->setCurrentIndex(model()->indexOf(d2));
    view->fileInfoView()->btnRemove()->click();
    ASSERT_EQ(presenter->shown.size(), 1u);
    EXPECT_NE(presenter->shown[0].alert.text.find("2 folders, 1 files, 400 bytes"), std::string::npos)
        << presenter->shown[0].alert.text;
    presenter->answer(0, 0);
    waitForAlerts(2);
    EXPECT_EQ(presenter->shown[1].alert.title, "Cleaning finished");
    EXPECT_FALSE(tree.exists("drive/d2"));
    EXPECT_TRUE(tree.exists("drive/f4"));
    EXPECT_TRUE(tree.exists("drive/d1/f1"));
}

TEST_F(DriveClearWindowTest, StopTheScanShowsThePartialTreeAndCleaningTouchesOnlyWhatWasScanned) {
    // The third listing is that of d1 (folders are scanned in reverse listing order, so which
    // of d1 and d2 comes first depends on the file system): hold there.
    test::GatedWalker gated(3);
    open(gated);
    view->start(top);
    ASSERT_TRUE(Dispatch::main().runUntil([&] { return gated.isHeld(); }, seconds(30)));
    view->maskWindows()->stopButton()->click();
    EXPECT_EQ(view->maskWindows()->stopButton()->text(), "Stopping...");
    gated.release();
    ASSERT_TRUE(Dispatch::main().runUntil([this] { return !view->isBusy(); }, seconds(60)));
    EXPECT_FALSE(view->maskWindows()->isVisible());
    EXPECT_EQ(gated.listings(), 3);
    // Four listings make the whole tree (top, d1, d2, sub): one of them never happened.
    FolderTreeNode* topNode = model()->nodeAt(topIndex());
    EXPECT_LT(topNode->iFileCount, 4);

    setChecked(topNode, Qt::Checked);
    view->clean();
    presenter->answer(0, 0);
    waitForAlerts(2);
    // Whatever was never listed stays on disk, and so does the folder holding it.
    EXPECT_TRUE(tree.exists("drive"));
    EXPECT_EQ(presenter->shown[1].alert.title, "Some items could not be deleted");
    EXPECT_NE(presenter->shown[1].alert.text.find("it holds entries the scan did not list"), std::string::npos)
        << presenter->shown[1].alert.text;
}

// Regression: a clean that removed everything but the drive's own top folder said
// "Insufficient permissions, cleanup failed.".
TEST(CleanReport, SaysWhatWentAndListsWhatStayedWithItsReason) {
    DMDeleteFaileRecord record;
    record.deletedFiles = 100000;
    record.deletedFolders = 12;
    record.deletedBytes = 394200000;
    record.iFolderCount = 1;
    record.addFailure({"/media/ann/STICK", "permission denied", true, true});
    DMAlert done = CDCleanAlerts::finished(record);
    EXPECT_EQ(done.title, "Cleaning finished");
    EXPECT_EQ(done.text, "Deleted 100000 files and 12 folders (394.2 MB).\n\n"
                         "The top folder /media/ann/STICK itself stays: permission denied.");

    record.iFileCount = 30;
    for (int i = 0; i < 30; ++i) {
        record.addFailure({"/media/ann/STICK/f" + std::to_string(i), "permission denied", false, false});
    }
    DMAlert partly = CDCleanAlerts::finished(record);
    EXPECT_EQ(partly.title, "Some items could not be deleted");
    EXPECT_NE(partly.text.find("Not deleted (30):\n/media/ann/STICK/f0: permission denied\n"), std::string::npos)
        << partly.text;
    EXPECT_NE(partly.text.find("...and 10 more."), std::string::npos) << partly.text;

    DMDeleteFaileRecord nothing;
    nothing.iFileCount = 1;
    nothing.addFailure({"/media/ann/STICK/f", "permission denied", false, false});
    EXPECT_EQ(CDCleanAlerts::finished(nothing).title, "Cleaning failed: permission denied.");
}

}  // namespace
}  // namespace harbormind
