// Pictures of the cleaning windows for docs/screenshots, made when HARBORMIND_SCREENSHOT_DIR
// names a folder (skipped otherwise): both windows, the progress mask and the details pane, in
// the light palette and a dark one.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPalette>

#include "AppTestSupport.h"
#include "CleaningWindowFakes.h"
#include "ScreenshotTest.h"
#include "app/cleaning/CDDriveClearFileTreeView.h"
#include "app/cleaning/CDDriveClearTreeModel.h"
#include "app/cleaning/CDDriveClearViewController.h"
#include "app/cleaning/CDDriveMaskWindowController.h"
#include "app/cleaning/CDFileMessageShowView.h"
#include "app/cleaning/CDJunkClearItemView.h"
#include "app/cleaning/CDJunkClearViewController.h"
#include "app/cleaning/CDJunkFileView.h"
#include "app/cleaning/CDJunkMaskWindowController.h"
#include "cleaning/DMFileClearManager.h"
#include "cleaning/DMFileScanManager.h"
#include "cleaning/FolderTreeNode.h"
#include "cleaning/TempTree.h"

namespace harbormind {
namespace {

constexpr std::int64_t MiB = 1048576;

QPalette cleaningDarkPalette() {
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(45, 45, 48));
    dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
    dark.setColor(QPalette::Base, QColor(30, 30, 32));
    dark.setColor(QPalette::AlternateBase, QColor(45, 45, 48));
    dark.setColor(QPalette::Text, QColor(230, 230, 230));
    dark.setColor(QPalette::Button, QColor(60, 60, 64));
    dark.setColor(QPalette::ButtonText, QColor(230, 230, 230));
    dark.setColor(QPalette::Highlight, QColor(64, 110, 180));
    dark.setColor(QPalette::HighlightedText, Qt::white);
    dark.setColor(QPalette::Shadow, Qt::black);
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        dark.setColor(QPalette::Disabled, role, QColor(120, 120, 120));
    }
    return dark;
}

class CleaningScreenshotTest : public test::ScreenshotTest {
protected:
    QPalette darkPalette() const override { return cleaningDarkPalette(); }

    test::TempTree tree;
    std::shared_ptr<test::RecordingPresenter> presenter = std::make_shared<test::RecordingPresenter>();
    test::RecordingWorkspace workspace;
};

TEST_F(CleaningScreenshotTest, JunkWindowAndItsMask) {
    const std::string home = tree.folder("home");
    tree.file("home/Library/Caches/org.mozilla.firefox/cache2/entries/0A1B", 180 * MiB);
    tree.file("home/Library/Caches/thumbnails/large/3f2a.png", 24 * MiB);
    tree.file("home/Library/Caches/pip/http/wheel.bin", 61 * MiB);
    tree.file("home/Library/Logs/session.log", 3 * MiB);
    tree.file("home/.Trash/holiday-draft.mov", 740 * MiB);
    tree.file("home/Library/Developer/Xcode/DerivedData/Harbor-abcd/Build/a.o", 96 * MiB);
    tree.file("home/Library/Developer/Xcode/DerivedData/Tools-efgh/Index/b.idx", 12 * MiB);
    tree.file("home/Library/Developer/Xcode/DerivedData/info.plist", 4 * MiB);
    tree.file("home/Downloads/debian-12.iso", 2500 * MiB);
    // The scan is held at its start while the mask is pictured.
    test::GatedWalker walker(1);
    test::HomeJunkLocations locations;
    test::FixedHomeUsers users(home);
    DMFileClearManager manager(&walker, &locations, &users);
    CDJunkClearViewController view(manager, locations.categories(home), presenter, &workspace, nullptr);
    view.resize(900, 560);
    view.show();
    view.start();
    view.mask()->setFileName(QString::fromStdString(home + "/Library/Caches/pip/http/wheel.bin"));
    ASSERT_TRUE(Dispatch::main().runUntil([&] { return walker.isHeld(); }, seconds(30)));
    save(view, "junk-clean-mask");
    walker.release();
    ASSERT_TRUE(Dispatch::main().runUntil([&] { return !view.isBusy(); }, seconds(60)));
    for (int row = 0; row < view.itemView()->topLevelItemCount(); ++row) {
        if (view.itemView()->categoryAt(row)->strFolderName() == "xcode") {
            view.itemView()->setCurrentItem(view.itemView()->topLevelItem(row));
        }
    }
    view.fileView()->headerClicked(1);
    view.fileView()->list()->topLevelItem(0)->setCheckState(0, Qt::Checked);
    save(view, "junk-clean");
}

TEST_F(CleaningScreenshotTest, DriveClearWindowWithDetailsAndMask) {
    const std::string top = tree.folder("STICK");
    tree.file("STICK/Photos/2024/IMG_0001.jpg", 6 * MiB);
    tree.file("STICK/Photos/2024/IMG_0002.jpg", 5 * MiB);
    tree.file("STICK/Photos/2023/IMG_0917.jpg", 7 * MiB);
    tree.file("STICK/Backups/laptop-2024-05.tar", 900 * MiB);
    tree.file("STICK/Backups/laptop-2024-06.tar", 910 * MiB);
    tree.file("STICK/Music/album/01.flac", 31 * MiB);
    tree.file("STICK/notes.txt", 2048);
    tree.file("STICK/.hidden-index", 300);
    test::GatedWalker walker(1);
    DMFileScanManager manager(&walker);
    CDDriveClearViewController view(manager, presenter, &workspace, nullptr);
    view.resize(980, 600);
    view.show();
    view.start(top);
    view.maskWindows()->setFileName(QString::fromStdString(top + "/Backups/laptop-2024-05.tar"));
    ASSERT_TRUE(Dispatch::main().runUntil([&] { return walker.isHeld(); }, seconds(30)));
    save(view, "drive-clear-mask");
    walker.release();
    ASSERT_TRUE(Dispatch::main().runUntil([&] { return !view.isBusy(); }, seconds(60)));
    CDDriveClearFileTreeView* treeView = view.fileTreeOutlineView();
    CDDriveClearTreeModel* model = treeView->treeModel();
    treeView->headerClicked(1);
    QModelIndex topIndex = model->index(0, 0, {});
    for (int row = 0; row < model->rowCount(topIndex); ++row) {
        FolderTreeNode* node = model->nodeAt(model->index(row, 0, topIndex));
        if (node->strFolderName() == "Backups" || node->strFolderName() == "Photos") {
            treeView->expandNode(node);
        }
        if (node->strFolderName() == "Backups") {
            model->setData(model->indexOf(node->childs.front()), Qt::Checked, Qt::CheckStateRole);
            treeView->setCurrentIndex(model->indexOf(node));
        }
    }
    save(view, "drive-clear");
    save(*view.fileInfoView(), "drive-clear-details");
}

}  // namespace
}  // namespace harbormind
